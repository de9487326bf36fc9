#pragma once
// The graph members the studio sets, so that the graph's layout and feed
// build and are tested without Windows. The program's adapter forwards each
// to the graph control; enumeration values are the control's ordinals.
#include <string>
#include <vector>

namespace tessaly {

enum class ChartFlag {
  ShowAnnotations, PrepareImages, AllowPopup, AllowCustomization, MouseCursorControl,
  AllowDataHotSpots, ScrollingHorzZoom, ScrollingVertZoom, SimplePointLegend, SimpleLineLegend
};
enum class ChartColour { DeskColor, TextColor, GraphBackColor, GraphForeColor };
enum class ChartNumber { NullDataValueX, NullDataValueY, ManualMinY, ManualMinX, ManualXAxisLine, ManualYAxisLine };
enum class ChartText { MainTitle, SubTitle, XAxisLabel, YAxisLabel };
enum class ChartChoice {
  BorderTypes, GridStyle, CursorMode, CursorPromptStyle, ZoomStyle, AllowZooming, ZoomInterfaceOnly,
  PlottingMethod, ManualScaleControlX, ManualScaleControlY
};

// The ordinals the studio uses.
namespace sg {
constexpr int SingleLine = 1;             // BorderTypes
constexpr int Dot = 2;                    // GridStyle
constexpr int NoCursor = 0;               // CursorMode
constexpr int NoPrompt = 0;               // CursorPromptStyle
constexpr int Framed = 0;                 // ZoomStyle
constexpr int HorzPlusVertZooming = 3;    // AllowZooming
constexpr int RectangleSelector = 1;      // ZoomInterfaceOnly
constexpr int Line = 0;                   // PlottingMethod
constexpr int PointsPlusLine = 8;         // PlottingMethod
constexpr int AutoScale = 0;              // ManualScaleControlX / Y
}  // namespace sg

class ChartSurface {
 public:
  virtual ~ChartSurface() = default;
  virtual void ReinitializeCustoms() = 0;  // PEreinitializecustoms on the engine handle
  virtual void Set(ChartFlag f, bool v) = 0;
  virtual void Set(ChartColour c, unsigned v) = 0;
  virtual void Set(ChartNumber n, double v) = 0;
  virtual void Set(ChartText t, const std::string& v) = 0;
  virtual void Set(ChartChoice c, int ordinal) = 0;
  virtual int Subsets() const = 0;
  virtual void Subsets(int n) = 0;
  virtual int Points() const = 0;
  virtual void Points(int n) = 0;
  virtual void SetXData(int subset, int point, float v) = 0;
  virtual void SetYData(int subset, int point, float v) = 0;
  // Every point of every subset at once, subset by subset (Subsets x Points
  // values each); a graph that takes them in one call overrides this.
  virtual void SetData(const std::vector<float>& x, const std::vector<float>& y) {
    const int subsets = Subsets(), points = Points();
    for (int s = 0; s < subsets; ++s)
      for (int p = 0; p < points; ++p) {
        const auto i = static_cast<std::size_t>(s) * static_cast<std::size_t>(points) + static_cast<std::size_t>(p);
        if (i >= x.size() || i >= y.size()) return;
        SetXData(s, p, x[i]);
        SetYData(s, p, y[i]);
      }
  }
  virtual void SetSubsetLabel(int subset, const std::string& text) = 0;
  virtual void SetWorkingAxis(int axis) = 0;
  virtual void SetIntCell3001(int index, int value) = 0;
  virtual void SetIntCell3059(int index, int value) = 0;
  virtual void SetIntCell3271(int index, int value) = 0;
  virtual void SetIntProp2618(int value) = 0;
  virtual void SetIntProp2619(int value) = 0;
  virtual void SetBoolProp2975(bool value) = 0;
  virtual void SetBoolProp3111(bool value) = 0;
  virtual void SetBoolProp3149(bool value) = 0;
  virtual void Repaint() = 0;
};

}  // namespace tessaly
