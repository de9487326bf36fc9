// The studio's chart view over the graph control PESGraph1.
#include <memory>

#include "graphengine/EngineIds.h"
#include "graph/PESGraph.h"
#include "studio/PesChart.h"

namespace tessaly {

namespace {

std::wstring wide(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

class PesChart : public ChartSurface, public FormChart {
 public:
  PesChart(HWND parent, int id, int left, int top, int width, int height, const pel::graph::EngineApi& engine)
      : engine_(engine), g_(engine) {
    g_.SetBounds(left, top, width, height);
    g_.Parent(parent);
    if (g_.Handle()) SetWindowLongPtrA(g_.Handle(), GWLP_ID, id);
  }
  ChartSurface& Surface() override { return *this; }

  void ReinitializeCustoms() override { PEreinitializecustoms(g_.GetPEHandle()); }
  void Set(ChartFlag f, bool v) override {
    switch (f) {
      case ChartFlag::ShowAnnotations: g_.ShowAnnotations(v); break;
      case ChartFlag::PrepareImages: g_.PrepareImages(v); break;
      case ChartFlag::AllowPopup: g_.AllowPopup(v); break;
      case ChartFlag::AllowCustomization: g_.AllowCustomization(v); break;
      case ChartFlag::MouseCursorControl: g_.MouseCursorControl(v); break;
      case ChartFlag::AllowDataHotSpots: g_.AllowDataHotSpots(v); break;
      case ChartFlag::ScrollingHorzZoom: g_.ScrollingHorzZoom(v); break;
      case ChartFlag::ScrollingVertZoom: g_.ScrollingVertZoom(v); break;
      case ChartFlag::SimplePointLegend: g_.SimplePointLegend(v); break;
      case ChartFlag::SimpleLineLegend: g_.SimpleLineLegend(v); break;
    }
  }
  void Set(ChartColour c, unsigned v) override {
    switch (c) {
      case ChartColour::DeskColor: g_.DeskColor(v); break;
      case ChartColour::TextColor: g_.TextColor(v); break;
      case ChartColour::GraphBackColor: g_.GraphBackColor(v); break;
      case ChartColour::GraphForeColor: g_.GraphForeColor(v); break;
    }
  }
  void Set(ChartNumber n, double v) override {
    switch (n) {
      case ChartNumber::NullDataValueX: g_.NullDataValueX(v); break;
      case ChartNumber::NullDataValueY: g_.NullDataValueY(v); break;
      case ChartNumber::ManualMinY: g_.ManualMinY(v); break;
      case ChartNumber::ManualMinX: g_.ManualMinX(v); break;
      case ChartNumber::ManualXAxisLine: g_.ManualXAxisLine(v); break;
      case ChartNumber::ManualYAxisLine: g_.ManualYAxisLine(v); break;
    }
  }
  void Set(ChartText t, const std::string& v) override {
    switch (t) {
      case ChartText::MainTitle: g_.MainTitle(wide(v)); break;
      case ChartText::SubTitle: g_.SubTitle(wide(v)); break;
      case ChartText::XAxisLabel: g_.XAxisLabel(wide(v)); break;
      case ChartText::YAxisLabel: g_.YAxisLabel(wide(v)); break;
    }
  }
  void Set(ChartChoice c, int o) override {
    switch (c) {
      case ChartChoice::BorderTypes: g_.BorderTypes(static_cast<eTABorders>(o)); break;
      case ChartChoice::GridStyle: g_.GridStyle(static_cast<eGridStyle>(o)); break;
      case ChartChoice::CursorMode: g_.CursorMode(static_cast<eCursorMode>(o)); break;
      case ChartChoice::CursorPromptStyle: g_.CursorPromptStyle(static_cast<eCursorPromptStyle>(o)); break;
      case ChartChoice::ZoomStyle: g_.ZoomStyle(static_cast<eZoomStyle>(o)); break;
      case ChartChoice::AllowZooming: g_.AllowZooming(static_cast<eAllowZooming>(o)); break;
      case ChartChoice::ZoomInterfaceOnly: g_.ZoomInterfaceOnly(static_cast<eZoomInterfaceOnly>(o)); break;
      case ChartChoice::PlottingMethod: g_.PlottingMethod(static_cast<ePlottingMethod>(o)); break;
      case ChartChoice::ManualScaleControlX: g_.ManualScaleControlX(static_cast<eManualScaleControl>(o)); break;
      case ChartChoice::ManualScaleControlY: g_.ManualScaleControlY(static_cast<eManualScaleControl>(o)); break;
    }
  }
  int Subsets() const override { return g_.Subsets(); }
  void Subsets(int n) override { g_.Subsets(n); }
  int Points() const override { return g_.Points(); }
  void Points(int n) override { g_.Points(n); }
  void SetXData(int s, int p, float v) override { g_.SetXData(s, p, v); }
  void SetYData(int s, int p, float v) override { g_.SetYData(s, p, v); }
  // One engine call per axis instead of two per point.
  void SetData(const std::vector<float>& x, const std::vector<float>& y) override {
    engine_.vset(g_.GetPEHandle(), pel::graph::id::XData, x.data(), static_cast<INT>(x.size()));
    engine_.vset(g_.GetPEHandle(), pel::graph::id::YData, y.data(), static_cast<INT>(y.size()));
  }
  void SetSubsetLabel(int s, const std::string& t) override { g_.SetSubsetLabel(s, wide(t)); }
  void SetWorkingAxis(int a) override { g_.SetWorkingAxis(a); }
  void SetIntCell3001(int i, int v) override { g_.SetIntCell3001(i, v); }
  void SetIntCell3059(int i, int v) override { g_.SetIntCell3059(i, v); }
  void SetIntCell3271(int i, int v) override { g_.SetIntCell3271(i, v); }
  void SetIntProp2618(int v) override { g_.SetIntProp2618(v); }
  void SetIntProp2619(int v) override { g_.SetIntProp2619(v); }
  void SetBoolProp2975(bool v) override { g_.SetBoolProp2975(v ? 1 : 0); }
  void SetBoolProp3111(bool v) override { g_.SetBoolProp3111(v); }
  void SetBoolProp3149(bool v) override { g_.SetBoolProp3149(v); }
  void Repaint() override { g_.Refresh(); }

 private:
  const pel::graph::EngineApi& engine_;
  PESGraph g_;
};

}  // namespace

std::unique_ptr<FormChart> MakePesChart(HWND parent, int id, int left, int top, int width, int height,
                                        const pel::graph::EngineApi& engine) {
  return std::make_unique<PesChart>(parent, id, left, top, width, height, engine);
}

std::unique_ptr<FormChart> MakeFormChart(HWND parent, int id, int left, int top, int width, int height) {
  return MakePesChart(parent, id, left, top, width, height, pel::graph::EngineApi::Imported());
}

}  // namespace tessaly
