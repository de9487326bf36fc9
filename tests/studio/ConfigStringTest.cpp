// The configuration string through the form's logic onto the link and the
// window: good tags, short tags (no "]"), bad fields.
#include <gtest/gtest.h>

#include <algorithm>

#include "studio/core/StudioModel.h"
#include "studio/core/StudioText.h"
#include "tests/studio/StudioFakes.h"

namespace {
using namespace tessaly;
using namespace tessaly::test;

struct Rig {
  FakeLink link;
  FakeView view;
  FakeChart chart;
  std::string bpmLevel, bkg;
  StudioModel model{link, view, chart,
                    StudioSettings{nullptr, [this] { return bpmLevel; }, [this] { return bkg; }, '.'}};
  // Calls after the fixed opening (DigitalTimmingMode 0) and the fixed
  // middle (CHInputMode Analog, DigitalTimmingMode 0).
  std::vector<std::string> read(const std::string& config) {
    link.calls.clear();
    model.ReadFromExcel(config);
    std::vector<std::string> c = link.calls;
    auto drop = [&](const std::string& s) {
      auto it = std::find(c.begin(), c.end(), s);
      if (it != c.end()) c.erase(it);
    };
    drop("DigitalTimmingMode 0");
    drop("CHInputMode Analog");
    drop("DigitalTimmingMode 0");
    return c;
  }
};

TEST(ConfigString, TagsGiveTheirLinkCalls) {
  struct Case {
    std::string config;
    std::vector<std::string> calls;
  } cases[] = {
      {"", {}},
      {"EL[10]", {"ExperimentLength 10.000000"}},
      {"ST[0.1]EL[10]", {"ExperimentLength 10.000000", "SamplingTime 0.100000"}},
      {"EL[ten]", {"ExperimentLength 900.000000"}},
      {"ST[x]", {"SamplingTime 0.200000"}},
      {"EL[10", {}},
      {"DI[3]", {"CHInputMode Digital", "NoOfStroboSlit 3"}},
      {"DI[x]", {"CHInputMode Digital", "NoOfStroboSlit 1"}},
      {"DI[3", {"CHInputMode Digital"}},
      {"DI2[2]", {"DigitalTimmingMode 1", "CHInputMode Digital", "NoOfStroboSlit 2"}},
      {"DC[0]", {"SetDigitalTiming 100"}},
      {"DC[1]", {"SetDigitalTiming 001"}},
      {"DC[2]", {"SetDigitalTiming 010"}},
      {"DC[3]", {"SetDigitalTiming 011"}},
      {"DC[9]", {"SetDigitalTiming 100"}},
      {"DC[x]", {"SetDigitalTiming 100"}},
      {"DC[2", {"SetDigitalTiming 100"}},
      {"OS[4]", {"NoOfOverSampling 4"}},
      {"OS[z]", {"NoOfOverSampling 1"}},
      {"LC[200]", {"LoopCount 200"}},
      {"LC[2x]", {}},
      {"SR[2,3]", {}},
      {"SR[1,4,3,2]", {"SensorRangeSetting 1 0", "SensorRangeSetting 3 2", "SensorRangeSetting 4 1"}},
      {"SR[3,x,1]", {"SensorRangeSetting 1 2"}},
      {"MODE8[Y]", {}},
  };
  for (const auto& c : cases) {
    Rig r;
    r.link.ids = {5, -1, 7, -1, -1, -1, -1, -1};
    EXPECT_EQ(r.read(c.config), c.calls) << c.config;
  }
}

TEST(ConfigString, LoopCountOfTheStudio) {
  Rig r;
  r.read("EL[10]ST[0.1]");
  EXPECT_EQ(r.model.StudioLoopCount(), 10);
  EXPECT_DOUBLE_EQ(r.model.SheetSamplingTime(), 0.1);
  EXPECT_DOUBLE_EQ(r.model.SheetExperimentLength(), 10);
  r.read("EL[10]ST[0.1]LC[200]");
  EXPECT_EQ(r.model.StudioLoopCount(), 200);
  EXPECT_TRUE(r.model.BpmMode());
  // A bad length stands for 900 also at the start of a run.
  Rig bad;
  bad.read("EL[?]");
  EXPECT_DOUBLE_EQ(bad.model.SheetExperimentLength(), 900);
}

TEST(ConfigString, DigitalTagsRelabelAndHideTheModeBox) {
  Rig r;
  r.link.ids = {-1, -1, 3, -1, -1, 9, -1, -1};
  r.read("DI[3]");
  EXPECT_EQ(r.model.DigitalChannel(), 2);
  EXPECT_EQ(r.view.unitLabels[2], "sec");
  EXPECT_TRUE(r.view.checkBoxHidden);

  Rig none;  // no sensor: channel A stays the digital one
  none.read("DI[");
  EXPECT_EQ(none.model.DigitalChannel(), 0);
  EXPECT_EQ(none.view.unitLabels[0], "sec");

  Rig t;
  t.link.timingAvailable = false;
  EXPECT_EQ(t.read("DI2[1]"), (std::vector<std::string>{"CHInputMode Digital", "NoOfStroboSlit 1"}));
  EXPECT_EQ(t.view.unitLabels[0], "sec");
  EXPECT_TRUE(t.view.checkBoxHidden);
}

TEST(ConfigString, ChannelTags) {
  struct Case {
    std::string config;
    std::vector<std::string> calls;
    std::string labelA, labelC;
  } cases[] = {
      {"A[12;V;1;0]", {"SetConvertUnit 1 1 1.000000 0.000000"}, "V", ""},
      {"A[12;mV;0.5;-2;3]", {"SetConvertUnit 1 3 0.500000 -2.000000"}, "mV", ""},
      {"A[13;V;1;0]", {}, "", ""},    // another sensor: nothing
      {"A[12;V;1]", {}, "", ""},      // fewer than four items
      {"A[12;V;1;0", {}, "", ""},     // no "]"
      {"DC[1]C[4;N;2;1]", {"SetDigitalTiming 001", "SetConvertUnit 3 1 2.000000 1.000000"}, "", "N"},
      {"LC[5]C[4;N;2;1]", {"LoopCount 5", "SetConvertUnit 3 1 2.000000 1.000000"}, "", "N"},
      {"DC[1]", {"SetDigitalTiming 001"}, "", ""},  // "C[" inside "DC[" is no channel tag
  };
  for (const auto& c : cases) {
    Rig r;
    r.link.ids = {12, -1, 4, -1, -1, -1, -1, -1};
    EXPECT_EQ(r.read(c.config), c.calls) << c.config;
    EXPECT_EQ(r.view.unitLabels[0], c.labelA) << c.config;
    EXPECT_EQ(r.view.unitLabels[2], c.labelC) << c.config;
  }
}

TEST(ConfigString, BadChannelNumbersEndTheProgram) {
  for (const char* config : {"A[12;V;x;0]", "A[12;V;1;y]", "A[x;V;1;0]", "A[12;V;1;0;t]"}) {
    Rig r;
    r.link.ids = {12, -1, -1, -1, -1, -1, -1, -1};
    EXPECT_THROW(r.model.ReadFromExcel(config), BadNumber) << config;
  }
  Rig q;
  EXPECT_THROW(q.model.ReadFastRecordLimit("50x"), BadNumber);
  q.model.ReadFastRecordLimit(" ");
  EXPECT_EQ(q.model.FastRecordLimit(), 5000);
  q.model.ReadFastRecordLimit(" 800 ");
  EXPECT_EQ(q.model.FastRecordLimit(), 800);
}

TEST(ConfigString, BeatsPerMinuteSettings) {
  struct Case {
    std::string level, bkg;
    double wantLevel;
    int wantChannel;
  } cases[] = {
      {"", "7", 3.5, 2},
      {"2.25", "40,7", 2.25, 2},
      {"x", "7", 3.5, 0},      // a bad level skips the channel search
      {"1", "99", 1, 0},       // no listed sensor: channel A
      {"1", "3,,7", 1, 0},     // the empty piece ends the search
  };
  for (const auto& c : cases) {
    Rig r;
    r.link.ids = {-1, -1, 7, -1, -1, -1, -1, -1};
    r.bpmLevel = c.level;
    r.bkg = c.bkg;
    r.read("LC[100]");
    EXPECT_TRUE(r.model.BpmMode());
    EXPECT_DOUBLE_EQ(r.model.BpmLevel(), c.wantLevel) << c.level;
    EXPECT_EQ(r.model.BpmChannel(), c.wantChannel) << c.level << "|" << c.bkg;
  }
}

TEST(ConfigString, EightPortsShownOnlyWithTheTag) {
  Rig r;
  r.read("MODE8[Y]");
  EXPECT_TRUE(r.model.EightPortMode());
  EXPECT_TRUE(r.view.eightShown);
  r.read("MODE8[N]");
  EXPECT_FALSE(r.model.EightPortMode());
  EXPECT_FALSE(r.view.eightShown);
}

}  // namespace
