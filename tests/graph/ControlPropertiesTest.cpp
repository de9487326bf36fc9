// Every published property through the control to its engine id and back,
// the value translations, the text buffer, the public methods and which
// setters refresh the picture in design mode.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <sstream>
#include <type_traits>

#include "graphengine/EngineIds.h"
#include "tests/graph/ControlRig.h"

namespace pel::graph::test {
namespace {

using ::testing::ElementsAre;

enum class Kind { Int, Card, Bool, Enum, PlotMethod, PlotMethodII, Double, Single, Text };

struct PropertyCase {
  const char* name;
  unsigned id;
  Kind kind;
  bool refresh;
  // Writes the probe value; reads the property back as text.
  std::function<void(PESGraph&)> set;
  std::function<std::string(PESGraph&)> get;
};

template <class T>
std::string Show(const T& v) {
  if constexpr (std::is_same_v<T, std::wstring>) return std::string(v.begin(), v.end());
  else if constexpr (std::is_enum_v<T>) return std::to_string(static_cast<int>(v));
  else {
    std::ostringstream s;
    s << v;
    return s.str();
  }
}

// The value each kind writes.
template <class T>
T Probe(Kind k) {
  if constexpr (std::is_same_v<T, std::wstring>) return L"Volt (V)";
  else if constexpr (std::is_enum_v<T>) return static_cast<T>(k == Kind::PlotMethod || k == Kind::PlotMethodII ? 6 : 3);
  else if constexpr (std::is_same_v<T, bool>) return true;
  else if constexpr (std::is_same_v<T, double>) return -1234.5625;
  else if constexpr (std::is_same_v<T, float>) return 7.25f;
  else if constexpr (std::is_same_v<T, std::uint32_t>) return 0xFEDCBA98u;
  else return -70000;
}

#define P(kind, name, id, refresh)                                                          \
  PropertyCase {                                                                            \
    #name, id, Kind::kind, refresh,                                                         \
        [](PESGraph& g) { g.name(Probe<std::decay_t<decltype(g.name())>>(Kind::kind)); },   \
        [](PESGraph& g) { return Show(g.name()); }                                          \
  }

const std::vector<PropertyCase>& Cases() {
  static const std::vector<PropertyCase> cases{
    P(Int, Subsets, 2115, true),
    P(Int, Points, 2120, true),
    P(Int, ScrollingSubsets, 3070, true),
    P(Int, LogicalLimit, 3064, true),
    P(Int, ThreeDThreshold, 3076, true),
    P(Int, LogTickThreshold, 3101, true),
    P(Int, AutoMinMaxPadding, 3063, true),
    P(Int, ContourLineLabelDensity, 3686, true),
    P(Int, MaxDataPrecision, 2431, true),
    P(Int, ImageAdjustLeft, 2982, true),
    P(Int, ImageAdjustRight, 2983, true),
    P(Int, ImageAdjustTop, 2984, true),
    P(Int, ImageAdjustBottom, 2985, true),
    P(Int, GraphAnnotationTextSize, 3242, false),
    P(Int, CursorPageAmount, 3211, false),
    P(Int, AxesAnnotationTextSize, 3243, false),
    P(Int, LineAnnotationTextSize, 3244, false),
    P(Int, DataHotSpotLimit, 3251, false),
    P(Int, HourGlassThreshold, 3252, false),
    P(Card, GraphForeColor, 2335, true),
    P(Card, GraphBackColor, 2340, true),
    P(Card, DeskColor, 2320, true),
    P(Card, TextColor, 2325, true),
    P(Card, ShadowColor, 2330, true),
    P(Card, YAxisColor, 3036, true),
    P(Card, RYAxisColor, 3037, true),
    P(Card, XAxisColor, 3038, true),
    P(Card, TXAxisColor, 3677, true),
    P(Card, BoxPlotColor, 3088, true),
    P(Card, TickColor, 3159, true),
    P(Card, BarBorderColor, 3116, true),
    P(Card, HatchBackColor, 2941, true),
    P(Card, DeskGradientStart, 2687, true),
    P(Card, DeskGradientEnd, 2688, true),
    P(Card, GraphGradientStart, 2692, true),
    P(Card, GraphGradientEnd, 2693, true),
    P(Card, PngTransparentColor, 2684, false),
    P(Bool, MainTitleBold, 2450, true),
    P(Bool, MainTitleItalic, 2455, true),
    P(Bool, MainTitleUnderline, 2460, true),
    P(Bool, SubTitleBold, 2490, true),
    P(Bool, SubTitleItalic, 2495, true),
    P(Bool, SubTitleUnderline, 2500, true),
    P(Bool, LabelBold, 2530, true),
    P(Bool, LabelItalic, 2535, true),
    P(Bool, LabelUnderline, 2540, true),
    P(Bool, GridInFront, 3110, true),
    P(Bool, GraphDataLabels, 3630, true),
    P(Bool, MonoWithSymbols, 2145, true),
    P(Bool, MarkDataPoints, 3215, true),
    P(Bool, ManualXAxisTicknLine, 3644, true),
    P(Bool, ManualYAxisTicknLine, 3262, true),
    P(Bool, ManualRYAxisTicknLine, 3265, true),
    P(Bool, ForceRightYAxis, 3286, true),
    P(Bool, VertOrient90Degrees, 3257, true),
    P(Bool, LogScaleExpLabels, 3009, true),
    P(Bool, ManualTXAxisTicknLine, 3669, true),
    P(Bool, ForceTopXAxis, 3672, true),
    P(Bool, XAxisOnTop, 3673, true),
    P(Bool, YAxisOnRight, 3026, true),
    P(Bool, InvertedYAxis, 3033, true),
    P(Bool, InvertedRYAxis, 3034, true),
    P(Bool, InvertedXAxis, 3674, true),
    P(Bool, InvertedTXAxis, 3675, true),
    P(Bool, YAxisLongTicks, 3043, true),
    P(Bool, RYAxisLongTicks, 3044, true),
    P(Bool, XAxisLongTicks, 3078, true),
    P(Bool, TXAxisLongTicks, 3079, true),
    P(Bool, AllowOleExport, 2638, true),
    P(Bool, NoCustomParms, 2921, true),
    P(Bool, NoHelp, 2922, true),
    P(Bool, AllowTitleHotSpots, 2924, true),
    P(Bool, AllowSubTitleHotSpots, 2925, true),
    P(Bool, AllowBottomTitleHotSpots, 2926, true),
    P(Bool, AllowJpegOutput, 2928, true),
    P(Bool, NoHiddenLinesInArea, 3061, true),
    P(Bool, SpecificPlotModeColor, 3062, true),
    P(Bool, NullDataGaps, 3066, true),
    P(Bool, ScrollingVertZoom, 3069, true),
    P(Bool, AllowAxisLabelHotSpots, 3083, true),
    P(Bool, AllowAxisHotSpots, 3084, true),
    P(Bool, BestFitFix, 3087, true),
    P(Bool, AllowRibbon, 3091, true),
    P(Bool, NoGridLineMultiples, 3092, true),
    P(Bool, AllowContourLines, 3680, true),
    P(Bool, AllowContourColors, 3681, true),
    P(Bool, SpecialDateTimeMode, 3687, true),
    P(Bool, BitmapGradientMode, 2703, true),
    P(Bool, SimpleLineLegend, 2973, true),
    P(Bool, SimplePointLegend, 2974, true),
    P(Bool, FixedFonts, 2938, true),
    P(Bool, ShowLegend, 2666, true),
    P(Bool, PrepareImages, 2155, false),
    P(Bool, AllowCustomization, 2165, false),
    P(Bool, AllowExporting, 2170, false),
    P(Bool, AllowMaximization, 2175, false),
    P(Bool, AllowPopup, 2180, false),
    P(Bool, NoScrollingSubsetControl, 3065, false),
    P(Bool, ThreeDDialogs, 2160, false),
    P(Bool, AllowSubsetHotSpots, 2600, false),
    P(Bool, AllowGraphHotSpots, 3205, false),
    P(Bool, AllowDataHotSpots, 3210, false),
    P(Bool, AllowCoordPrompting, 3200, false),
    P(Bool, AllowPlotCustomization, 3260, false),
    P(Bool, AllowBubble, 3640, false),
    P(Bool, AllowBestFitCurve, 3272, false),
    P(Bool, AllowSpline, 3274, false),
    P(Bool, NegativeFromXAxis, 3261, false),
    P(Bool, AllowLine, 3279, false),
    P(Bool, AllowStick, 3648, false),
    P(Bool, AllowBar, 3022, false),
    P(Bool, AllowPoint, 3280, false),
    P(Bool, AllowArea, 3254, false),
    P(Bool, AllowBestFitLine, 3281, false),
    P(Bool, AllowPointsPlusLine, 3287, false),
    P(Bool, AllowPointsPlusSpline, 3288, false),
    P(Bool, ScrollingHorzZoom, 3652, false),
    P(Bool, CursorPromptTracking, 2621, false),
    P(Bool, MouseCursorControl, 2622, false),
    P(Bool, ShowAnnotations, 3290, false),
    P(Bool, AllowGraphAnnotHotSpots, 3229, false),
    P(Bool, AllowAnnotationControl, 2623, false),
    P(Bool, AnnotationsInFront, 3208, false),
    P(Bool, NoRandomPointsToExport, 3653, false),
    P(Bool, XAxisVertNumbering, 3654, false),
    P(Bool, ShowGraphAnnotations, 3223, false),
    P(Bool, ShowXAxisAnnotations, 3224, false),
    P(Bool, ShowYAxisAnnotations, 3226, false),
    P(Bool, ShowHorzLineAnnotations, 3227, false),
    P(Bool, ShowVertLineAnnotations, 3228, false),
    P(Bool, AllowXAxisAnnotHotSpots, 3231, false),
    P(Bool, AllowYAxisAnnotHotSpots, 3232, false),
    P(Bool, AllowHorzLineAnnotHotSpots, 3233, false),
    P(Bool, AllowVertLineAnnotHotSpots, 3234, false),
    P(Bool, FocalRect, 2632, false),
    P(Bool, AllowStep, 3067, false),
    P(Bool, AllowPage1, 2930, false),
    P(Bool, AllowPage2, 2931, false),
    P(Bool, AllowSubsetsPage, 2932, false),
    P(Bool, AllowFontPage, 2934, false),
    P(Bool, AllowColorPage, 2935, false),
    P(Bool, AllowStylePage, 2936, false),
    P(Bool, AllowAxisPage, 2937, false),
    P(Bool, ModalDialogs, 2978, false),
    P(Bool, ModelessOnTop, 2979, false),
    P(Bool, ModelessAutoClose, 2980, false),
    P(Bool, AllowGridNumberHotSpotsY, 3122, false),
    P(Bool, AllowGridNumberHotSpotsX, 3692, false),
    P(Bool, PngIsTransparent, 2683, false),
    P(Bool, PngIsInterlaced, 2685, false),
    P(Enum, ViewingStyle, 2230, true),
    P(Enum, DataPrecision, 2425, true),
    P(Enum, FontSize, 2435, true),
    P(Enum, VBoundaryTypes, 3010, true),
    P(Enum, XAxisScaleControl, 3610, true),
    P(Enum, YAxisScaleControl, 3045, true),
    P(PlotMethod, PlottingMethod, 3090, true),
    P(Enum, GridLineControl, 3100, true),
    P(Enum, DataShadows, 2240, true),
    P(Enum, ManualScaleControlY, 3050, true),
    P(Enum, ManualScaleControlX, 3615, true),
    P(Enum, RYAxisScaleControl, 3230, true),
    P(Enum, ManualScaleControlRY, 3240, true),
    P(Enum, BubbleSize, 3641, true),
    P(Enum, SpecificPlotMode, 3021, true),
    P(Enum, PointSize, 3269, true),
    P(Enum, BestFitDegree, 3273, true),
    P(Enum, CurveGranularity, 3275, true),
    P(Enum, AllowDataLabels, 3642, true),
    P(Enum, SymbolFrequency, 3289, true),
    P(Enum, CursorMode, 2617, true),
    P(Enum, CursorPromptStyle, 2620, true),
    P(PlotMethodII, PlottingMethodII, 3011, true),
    P(Enum, TXAxisScaleControl, 3662, true),
    P(Enum, ManualScaleControlTX, 3664, true),
    P(Enum, ShowYAxis, 3027, true),
    P(Enum, ShowRYAxis, 3028, true),
    P(Enum, ShowXAxis, 3029, true),
    P(Enum, ShowTXAxis, 3676, true),
    P(Enum, GridStyle, 3032, true),
    P(Enum, HotSpotSize, 3081, true),
    P(Enum, SpecialScalingY, 3093, true),
    P(Enum, SpecialScalingRY, 3094, true),
    P(Enum, LegendLocation, 3082, true),
    P(Enum, ManualScaleControlZ, 3684, true),
    P(Enum, MinimumPointSize, 3102, true),
    P(Enum, QuickStyle, 2672, true),
    P(Enum, TickStyle, 3158, true),
    P(Enum, BorderTypes, 2943, true),
    P(Enum, ShowTickMarkY, 3106, true),
    P(Enum, ShowTickMarkRY, 3107, true),
    P(Enum, ShowTickMarkX, 3108, true),
    P(Enum, ShowTickMarkTX, 3689, true),
    P(Enum, DeskGradientStyle, 2689, true),
    P(Enum, DeskBmpStyle, 2691, true),
    P(Enum, GraphGradientStyle, 2694, true),
    P(Enum, GraphBmpStyle, 2696, true),
    P(Enum, AllowUserInterface, 2185, false),
    P(Enum, DefOrientation, 2150, false),
    P(Enum, AllowZooming, 3282, false),
    P(Enum, ZoomInterfaceOnly, 3247, false),
    P(Enum, MultiAxesSeparators, 3046, false),
    P(Enum, ZoomStyle, 3154, false),
    P(Enum, PrintStyleControl, 2705, false),
    P(Double, UpperBoundValue, 3015, true),
    P(Double, LowerBoundValue, 3020, true),
    P(Double, ManualMinY, 3055, true),
    P(Double, ManualMaxY, 3060, true),
    P(Double, ManualMinX, 3620, true),
    P(Double, ManualMaxX, 3625, true),
    P(Double, ManualMinRY, 3245, true),
    P(Double, ManualMaxRY, 3250, true),
    P(Double, ManualXAxisTick, 3645, true),
    P(Double, ManualXAxisLine, 3646, true),
    P(Double, ManualYAxisTick, 3263, true),
    P(Double, ManualYAxisLine, 3264, true),
    P(Double, ManualRYAxisTick, 3266, true),
    P(Double, ManualRYAxisLine, 3267, true),
    P(Double, NullDataValueX, 3656, true),
    P(Double, NullDataValueY, 3268, true),
    P(Double, LineGapThreshold, 3212, true),
    P(Double, BarWidth, 3019, true),
    P(Double, ManualMinTX, 3665, true),
    P(Double, ManualMaxTX, 3666, true),
    P(Double, ManualTXAxisTick, 3670, true),
    P(Double, ManualTXAxisLine, 3671, true),
    P(Double, ManualMinZ, 3682, true),
    P(Double, ManualMaxZ, 3683, true),
    P(Double, ManualZAxisLine, 3685, true),
    P(Double, ZoomMinRY, 3073, false),
    P(Double, ZoomMaxRY, 3074, false),
    P(Double, StartTime, 3098, false),
    P(Double, EndTime, 3099, false),
    P(Single, FontSizeGlobalCntl, 2634, true),
    P(Single, FontSizeTitleCntl, 2635, true),
    P(Single, FontSizeLegendCntl, 3042, true),
    P(Single, FontSizeMSCntl, 2945, true),
    P(Single, FontSizeMBCntl, 2946, true),
    P(Single, FontSizeGNCntl, 2947, true),
    P(Single, FontSizeALCntl, 2949, true),
    P(Single, GridAspect, 3124, true),
    P(Single, FontSizeCPCntl, 2948, false),
    P(Text, MainTitle, 2105, true),
    P(Text, SubTitle, 2110, true),
    P(Text, MainTitleFont, 2445, true),
    P(Text, SubTitleFont, 2485, true),
    P(Text, LabelFont, 2525, true),
    P(Text, XAxisLabel, 3000, true),
    P(Text, YAxisLabel, 3005, true),
    P(Text, UpperBoundText, 3025, true),
    P(Text, LowerBoundText, 3030, true),
    P(Text, RYAxisLabel, 3255, true),
    P(Text, TXAxisLabel, 3667, true),
    P(Text, LeftMargin, 3052, true),
    P(Text, TopMargin, 3053, true),
    P(Text, RightMargin, 3054, true),
    P(Text, BottomMargin, 3056, true),
    P(Text, HelpFileName, 2923, true),
    P(Text, AxisFormatY, 3071, true),
    P(Text, AxisFormatRY, 3072, true),
    P(Text, AxisFormatX, 3678, true),
    P(Text, AxisFormatTX, 3679, true),
    P(Text, DeskBmpFilename, 2690, true),
    P(Text, GraphBmpFilename, 2695, true)
  };
  return cases;
}
#undef P

// What the engine is asked on a write, and what it answers for the read.
struct Expectation {
  std::string setCall;
  std::string readBack;
};

Expectation Expect(const PropertyCase& c) {
  const std::string id = std::to_string(c.id);
  switch (c.kind) {
    case Kind::Int: return {"nset win " + id + " -70000", "-70000"};
    case Kind::Card: return {"nset win " + id + " " + std::to_string(static_cast<int>(0xFEDCBA98u)), "4275878552"};
    case Kind::Bool: return {"nset win " + id + " 1", "1"};
    case Kind::Enum: return {"nset win " + id + " 3", "3"};
    case Kind::PlotMethod: return {"nset win " + id + " 16", "6"};    // sgSpline
    case Kind::PlotMethodII: return {"nset win " + id + " 17", "6"};  // sgPointsPlusLine2
    case Kind::Double: return {"vset win " + id + " 0", "-1234.56"};
    case Kind::Single: return {"vset win " + id + " 0", "7.25"};
    case Kind::Text: return {"szset win " + id + " \"Volt (V)\"", "Volt (V)"};
  }
  return {};
}

TEST(GraphProperties, EachOneWritesAndReadsItsEngineIdAndRefreshesOnlyInItsGroup) {
  std::set<unsigned> ids;
  ControlRig rig(true);  // design mode, window made: refresh-group setters refresh
  for (const PropertyCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    ids.insert(c.id);
    if (c.kind == Kind::Single) rig.engine.valueSize[c.id] = 4;
    UpdateWindow(rig.graph->Handle());
    rig.engine.Clear();
    c.set(*rig.graph);
    const Expectation e = Expect(c);
    ASSERT_FALSE(rig.engine.calls.empty());
    EXPECT_EQ(rig.engine.calls[0], e.setCall);
    if (c.refresh)
      EXPECT_THAT(rig.engine.calls, ElementsAre(e.setCall, "reinitialize win", "resetimage win 0 0"));
    else
      EXPECT_THAT(rig.engine.calls, ElementsAre(e.setCall));
    RECT r{};
    EXPECT_EQ(GetUpdateRect(rig.graph->Handle(), &r, FALSE) != FALSE, c.refresh);

    rig.engine.Clear();
    EXPECT_EQ(c.get(*rig.graph), e.readBack);
    const char* getter = c.kind == Kind::Double || c.kind == Kind::Single ? "vget win "
                         : c.kind == Kind::Text                           ? "szget win "
                                                                          : "nget win ";
    EXPECT_EQ(rig.engine.calls, std::vector<std::string>{getter + std::to_string(c.id)});
  }
  EXPECT_EQ(ids.size(), Cases().size());  // one engine id per property
}

TEST(GraphProperties, AtRunTimeASetterOnlyWritesTheEngine) {
  ControlRig rig(false);
  rig.engine.Clear();
  rig.graph->Subsets(2);
  rig.graph->MainTitle(L"T");
  rig.graph->ManualMinY(1.0);
  EXPECT_THAT(rig.engine.calls, ElementsAre("nset win 2115 2", "szset win 2105 \"T\"", "vset win 3055 0"));
}

TEST(GraphProperties, BeforeTheWindowDesignModeSettersDoNotRefresh) {
  ControlRig rig(true, false);
  rig.engine.Clear();
  rig.graph->Points(9);
  EXPECT_EQ(rig.engine.calls, std::vector<std::string>{"nset first 2120 9"});
}

TEST(GraphProperties, BooleansAndEnumerationsReadTheLowByteOnly) {
  ControlRig rig;
  rig.engine.numbers[2666] = 0x100;  // ShowLegend
  rig.engine.numbers[2155] = 0x201;  // PrepareImages
  rig.engine.numbers[2230] = 0x302;  // ViewingStyle
  EXPECT_FALSE(rig.graph->ShowLegend());
  EXPECT_TRUE(rig.graph->PrepareImages());
  EXPECT_EQ(rig.graph->ViewingStyle(), eViewingStyle::sgMonoPlusSymbols);
}

TEST(GraphProperties, ADoubleIsReadFromTheEngineEveryTime) {
  ControlRig rig;
  rig.graph->ManualMaxX(2.5);
  EXPECT_EQ(rig.graph->ManualMaxX(), 2.5);
  const double other = -8.0;
  auto& b = rig.engine.blobs[3625];
  std::memcpy(b.data(), &other, sizeof other);
  EXPECT_EQ(rig.graph->ManualMaxX(), -8.0);
}

TEST(GraphProperties, PlottingMethodsTranslateBothWays) {
  ControlRig rig;
  rig.graph->PlottingMethod(ePlottingMethod::sgPointsPlusLine);
  EXPECT_EQ(rig.engine.numbers[3090], 17);
  EXPECT_EQ(rig.graph->PlottingMethod(), ePlottingMethod::sgPointsPlusLine);
  rig.engine.numbers[3090] = 5;
  EXPECT_EQ(rig.graph->PlottingMethod(), ePlottingMethod::sgLine);
  rig.engine.numbers[3011] = 4;
  EXPECT_EQ(rig.graph->PlottingMethodII(), ePlottingMethodII::sgLine2);
  rig.graph->PlottingMethod(static_cast<ePlottingMethod>(16));
  EXPECT_EQ(rig.engine.numbers[3090], 0);
}

TEST(GraphText, AnEmptyTextPassesAnEmptyStringNotNull) {
  ControlRig rig;
  rig.engine.Clear();
  rig.graph->MainTitle(L"");
  EXPECT_EQ(rig.engine.calls, std::vector<std::string>{"szset win 2105 \"\""});
}

TEST(GraphText, ATextIsCutAt1255CharactersWhateverTheEngineLeaves) {
  ControlRig rig;
  rig.engine.rawText = L"abc";  // fills the whole buffer, no NUL
  const std::wstring t = rig.graph->SubTitle();
  EXPECT_EQ(t.size(), 1255u);
  EXPECT_EQ(t.substr(0, 6), L"abcabc");
  rig.engine.rawText.clear();
  rig.engine.texts[2110] = L"short";
  EXPECT_EQ(rig.graph->SubTitle(), L"short");
}

TEST(GraphMethods, EachWritesItsCellOrSetting) {
  ControlRig rig(false);
  rig.engine.Clear();
  PESGraph& g = *rig.graph;
  g.SetXData(1, 2, 3.5f);
  g.SetYData(0, 999, -99999.0f);  // outside the data: passed on unchecked
  g.SetSubsetLabel(2, L"mV");
  g.SetIntCell3271(1, 5);
  g.SetIntCell3001(3, 1);
  g.SetIntCell3059(0, 4);
  g.SetIntProp2618(0);
  g.SetIntProp2619(1);
  g.SetWorkingAxis(2);
  g.SetBoolProp2975(1);
  g.SetBoolProp3149(true);
  g.SetBoolProp3111(false);
  EXPECT_THAT(rig.engine.calls,
              ElementsAre("vsetcellEx win 2135 1 2 3.5", "vsetcellEx win 2140 0 999 -99999", "vsetcell win 2125 2 \"mV\"",
                          "vsetcell win 3271 1 5", "vsetcell win 3001 3 1", "vsetcell win 3059 0 4", "nset win 2618 0",
                          "nset win 2619 1", "nset win 3006 2", "nset win 2975 1", "nset win 3149 1",
                          "nset win 3111 0"));
  EXPECT_EQ(g.GetPEHandle(), rig.engine.window);
}

TEST(GraphMethods, OnlySetBoolProp2975RefreshesInDesignMode) {
  ControlRig rig(true);
  rig.engine.Clear();
  rig.graph->SetBoolProp3149(true);
  rig.graph->SetWorkingAxis(1);
  rig.graph->SetBoolProp2975(1);
  EXPECT_THAT(rig.engine.calls,
              ElementsAre("nset win 3149 1", "nset win 3006 1", "nset win 2975 1", "reinitialize win", "resetimage win 0 0"));
}

}  // namespace
}  // namespace pel::graph::test
