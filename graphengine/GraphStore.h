#pragma once
// The settings and data of one graph object of our graph engine, by property
// id. No windows.h here: the store is also built and tested natively.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pel::graphengine {

// How a property id holds its value.
enum class ValueKind { Number, Double, Single, Text, Unknown };
ValueKind KindOf(unsigned id);

// Property ids the engine itself gives a meaning to.
namespace pid {
constexpr unsigned MainTitle = 2105, SubTitle = 2110, Subsets = 2115, Points = 2120, SubsetLabels = 2125,
                   XData = 2135, YData = 2140, DeskColor = 2320, TextColor = 2325, GraphForeColor = 2335,
                   GraphBackColor = 2340, XAxisLabel = 3000, SubsetsPerAxis = 3001, YAxisLabel = 3005,
                   WorkingAxis = 3006, GridStyle = 3032, ManualScaleControlY = 3050, ManualMinY = 3055,
                   ManualMaxY = 3060, PlottingMethod = 3090, GridLineControl = 3100, AxisCount = 3059,
                   ManualScaleControlX = 3615, ManualMinX = 3620, ManualMaxX = 3625, NullDataValueX = 3656,
                   NullDataValueY = 3268, ShowLegend = 2666, SimpleLineLegend = 2973, SimplePointLegend = 2974,
                   AllowDataHotSpots = 3210, AllowGraphHotSpots = 3205, AllowTitleHotSpots = 2924,
                   ImageDirty = 2905, PaintInProgress = 2916, NotifyWindow = 2915, EngineMemory = 2574,
                   EngineBitmap = 2575, EngineMemoryDc = 2580, GridNumberCell = 3123,
                   CustomGridNumber = 3162, HotSpot = 2610, GraphHotSpot = 3023, MousePoint = 2637;
}

class GraphStore {
 public:
  GraphStore();

  // Settings. A change of anything that shows marks the image dirty.
  void SetNumber(unsigned id, std::int32_t v);
  std::int32_t Number(unsigned id) const;
  void SetDouble(unsigned id, double v);
  double Double(unsigned id) const;
  void SetSingle(unsigned id, float v);
  float Single(unsigned id) const;
  // The Y axis label belongs to the working axis.
  void SetText(unsigned id, std::u16string v);
  std::u16string Text(unsigned id) const;
  std::u16string AxisLabel(int axis) const;

  // Cells: subset labels (text), the integer cells, the grid numbers.
  bool SetCell(unsigned id, int index, const void* value);
  bool GetCell(unsigned id, int index, void* out) const;
  int IntCell(unsigned id, int index, int fallback) const;
  std::u16string SubsetLabel(int subset) const;

  // Data: one X and one Y value per subset and point; indexes outside the
  // present subsets and points are ignored. The data held is bounded
  // (kMaxSubsets, kMaxValues) whatever counts a caller sets.
  static constexpr int kMaxSubsets = 1000;
  static constexpr long long kMaxValues = 4'000'000;
  bool SetData(unsigned id, int subset, int point, float v);
  // The X or Y values of every point, subset by subset, from the first;
  // values beyond the data held are ignored. One change for the lot.
  bool SetDataArray(unsigned id, const float* values, long long count);
  // The subsets and points data are held for.
  int Subsets() const { return static_cast<int>(x_.size()); }
  int Points() const { return x_.empty() ? 0 : static_cast<int>(x_.front().size()); }
  float X(int subset, int point) const;
  float Y(int subset, int point) const;
  bool IsNullX(float v) const;
  bool IsNullY(float v) const;

  // Records the engine hands out through PEvgetW, by id; empty when none.
  std::vector<unsigned char>& Record(unsigned id) { return records_[id]; }

  // Grows with every change; an image drawn at another version is stale.
  unsigned long long Version() const { return version_; }
  void Touch();

 private:
  void ResizeData();

  std::map<unsigned, std::int32_t> numbers_;
  std::map<unsigned, double> doubles_;
  std::map<unsigned, float> singles_;
  std::map<unsigned, std::u16string> texts_;
  std::map<int, std::u16string> axisLabels_;
  std::map<int, std::u16string> subsetLabels_;
  std::map<std::pair<unsigned, int>, std::int32_t> intCells_;
  std::map<int, double> gridNumbers_;
  std::vector<std::vector<float>> x_, y_;  // [subset][point]
  std::map<unsigned, std::vector<unsigned char>> records_;
  unsigned long long version_ = 1;
};

}  // namespace pel::graphengine
