// A chart view that only keeps its subset and point counts, for builds
// without the graph control.
#include "studio/GraphSeam.h"

namespace tessaly {

namespace {
class CountingChart : public ChartSurface, public FormChart {
 public:
  ChartSurface& Surface() override { return *this; }
  void ReinitializeCustoms() override {}
  void Set(ChartFlag, bool) override {}
  void Set(ChartColour, unsigned) override {}
  void Set(ChartNumber, double) override {}
  void Set(ChartText, const std::string&) override {}
  void Set(ChartChoice, int) override {}
  int Subsets() const override { return subsets_; }
  void Subsets(int n) override { subsets_ = n; }
  int Points() const override { return points_; }
  void Points(int n) override { points_ = n; }
  void SetXData(int, int, float) override {}
  void SetYData(int, int, float) override {}
  void SetSubsetLabel(int, const std::string&) override {}
  void SetWorkingAxis(int) override {}
  void SetIntCell3001(int, int) override {}
  void SetIntCell3059(int, int) override {}
  void SetIntCell3271(int, int) override {}
  void SetIntProp2618(int) override {}
  void SetIntProp2619(int) override {}
  void SetBoolProp2975(bool) override {}
  void SetBoolProp3111(bool) override {}
  void SetBoolProp3149(bool) override {}
  void Repaint() override {}

 private:
  int subsets_ = 0, points_ = 0;
};
}  // namespace

std::unique_ptr<FormChart> MakeFormChart(HWND, int, int, int, int, int) { return std::make_unique<CountingChart>(); }

}  // namespace tessaly
