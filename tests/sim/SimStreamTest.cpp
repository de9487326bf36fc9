// The streams each model's start sequence chooses, and their stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimEngineFixture.h"
#include "sim/interface/NormalFrame.h"
#include "sim/interface/StreamFrames.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;
using test::Lines;

class Streams : public test::EngineTest {};

// The host's reading of a frame body: fields between blanks.
std::vector<double> fieldsOf(const std::string& frame) {
  std::vector<double> out;
  std::string body = frame.substr(1, frame.size() - 2);
  std::size_t pos = 0;
  while ((pos = body.find_first_not_of(' ', pos)) != std::string::npos) {
    std::size_t end = body.find(' ', pos);
    double v = 0;
    EXPECT_TRUE(parseNumber(body.substr(pos, end - pos), v)) << frame;
    out.push_back(v);
    pos = end;
  }
  return out;
}

TEST_F(Streams, EachStartSequenceStreamsItsFormAndStopsAtOnce) {
  struct Case {
    const char* name;
    Model model;
    Lines start;
    StreamKind kind;
    int length;  // of the first frame, counting the CR; 0: above 39 and not 51
    Lines stop;
  };
  const Case cases[] = {
      {"Qor analog 4-port", Model::Qor,
       {"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,1}", "s{10,1}"}, StreamKind::Normal, 39,
       {"s{10,0}", "s{50,0}"}},
      {"Qor analog 8-port", Model::Qor,
       {"s{11,5}", "s{13,0}", "s{12,0.200}", "s{23,1}", "s{10,1}"}, StreamKind::Normal, 99,
       {"s{10,0}", "s{50,0}"}},
      {"Sorn II fast on B", Model::SornII,
       {"s{11,1}", "s{13,2}", "s{12,0.001}", "s{23,1}", "s{10,1}"}, StreamKind::FastSingle, 75,
       {"s{10,0}", "s{50,0}"}},
      {"Aster with PWM", Model::Aster,
       {"s{11,1}", "s{13,0}", "s{12,0.100}", "s{23,2}", "s{14,1,  50,  40,  99}", "s{10,1}"},
       StreamKind::Normal, 39, {"s{10,0}", "s{50,0}"}},
      {"Vaxo timing stream on C", Model::Vaxo, {"s{11,0}", "s{13,3}", "s{10,1}"},
       StreamKind::Timing, 75, {"s{10,0}", "s{50,0}"}},
      {"Sorn II digital timing", Model::SornII,
       {"s{11,2}", "s{16,1,1,0,0}", "s{16,2,4}", "s{10,1}"}, StreamKind::Normal, 39,
       {"s{10,0}", "s{50,0}"}},
      {"Qor-3 normal", Model::Qor3,
       {"s{146,0}", "s{11,1}", "s{12,0.010000,500}", "s{23,1}", "s{10,1}"}, StreamKind::Normal,
       51, {"s{10,0}", "s{50,0}"}},
      {"Qor-3 fast block", Model::Qor3,
       {"s{146,1}", "s{11,1}", "s{12,0.000500,5000}", "s{23,1}", "s{15,1000}", "s{10,1}"},
       StreamKind::FastBlock, 0, {"s{10,0}", "s{50,0}"}},
      {"over TCP any model streams blocks", Model::SornII,
       {"s{146,1}", "s{11,5}", "s{12,0.005000,100}", "s{23,1}", "s{10,1}"}, StreamKind::FastBlock,
       0, {"s{10,0}", "s{50,0}"}},
      {"Qor scope", Model::Qor, {"s{11,3}", "s{88,1,20}"}, StreamKind::None, -1,
       {"s{88,0}", "s{50,0}"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    use(c.model);
    engine.connect(now);
    std::size_t mark = engine.log().size();
    raw(c.start);
    EXPECT_EQ(engine.streamKind(), c.kind);
    std::string first;
    for (int i = 0; i < 100 && first.empty(); ++i) {
      Lines due = advance(5ms);
      if (!due.empty()) first = due.front();
    }
    if (c.length > 0) {
      EXPECT_EQ(static_cast<int>(first.size()) + 1, c.length) << first;
    } else if (c.length == 0) {
      EXPECT_GT(first.size() + 1, 39u) << first;
      EXPECT_NE(first.size() + 1, 51u) << first;
    }
    // A frame due at the moment of the stop is not sent, nor any later one.
    now += 1s;
    EXPECT_EQ(send(c.stop), Lines{});
    EXPECT_EQ(advance(1s), Lines{});
    Lines all = c.start;
    all.insert(all.end(), c.stop.begin(), c.stop.end());
    EXPECT_EQ(engine.log().textsFrom(mark), all);
  }
}

TEST_F(Streams, RunSetupKeepsWhatTheCommandsChose) {
  send(Lines{"s{11,0}", "s{13,4}", "s{16,1,0,1,1}", "s{16,2,7}", "s{23,3}", "s{12,0.000100,900}",
             "s{146,1}"});
  const RunSetup& s = engine.setup();
  EXPECT_EQ(s.inputMode, 0);
  EXPECT_EQ(s.channel, 4);
  EXPECT_FALSE(s.timingOptions[0]);
  EXPECT_TRUE(s.timingOptions[1]);
  EXPECT_TRUE(s.timingOptions[2]);
  EXPECT_EQ(s.slits, 7);
  EXPECT_EQ(s.overSampling, 3);
  EXPECT_EQ(s.plannedCount, 900);
  EXPECT_TRUE(s.fastBlock);
  EXPECT_DOUBLE_EQ(engine.requestedSamplingTime(), 0.0001);
  EXPECT_DOUBLE_EQ(engine.samplingTime(), 0.001);
  // A new input mode forgets the channel; bad arguments change nothing.
  send(Lines{"s{11,1}", "s{13,9}", "s{146,x}"});
  EXPECT_EQ(engine.setup().channel, 0);
  EXPECT_TRUE(engine.setup().fastBlock);
}

TEST_F(Streams, FastSingleFramesCarrySuccessiveSamplesOfTheFastChannel) {
  engine.settings().value = [](std::int64_t n, int ch) { return ch * 100 + n * 0.5; };
  send(Lines{"s{11,1}", "s{13,3}", "s{12,0.002}", "s{10,1}"});
  // Eight samples a frame: one frame every 16 ms.
  EXPECT_EQ(advance(15ms), Lines{});
  Lines f = advance(17ms);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(f[k].size() + 1, 75u);
    std::vector<double> want;
    for (int j = 0; j < 8; ++j) want.push_back(200 + (k * 8 + j) * 0.5);
    EXPECT_EQ(fieldsOf(f[k]), want) << f[k];
  }
}

TEST_F(Streams, BlockFramesInterleaveTheChannelsWithSensors) {
  use(Model::Qor3);
  engine.settings().sensorIds = {12, 0, 7, 0, 3, 0, 0, 0};  // E counts in 8-port mode only
  engine.settings().value = [](std::int64_t n, int ch) { return ch + n / 100.0; };
  send(Lines{"s{146,1}", "s{11,1}", "s{12,0.000500,100}", "s{10,1}"});
  EXPECT_EQ(engine.blockChannels(), (std::vector<int>{0, 2}));
  Lines f = advance(5ms);  // ten samples of 0.5 ms
  ASSERT_EQ(f.size(), 1u);
  std::vector<double> want;
  for (int j = 0; j < 10; ++j) {
    want.push_back(j / 100.0);
    want.push_back(2 + j / 100.0);
  }
  EXPECT_EQ(fieldsOf(f[0]), want);
  engine.setEightPort(true);
  EXPECT_EQ(engine.blockChannels(), (std::vector<int>{0, 2, 4}));
  engine.settings().sensorIds.fill(0);
  EXPECT_EQ(engine.blockChannels(), std::vector<int>{0});
  // Whatever the number of values, the host reads it as a block frame.
  for (int n = 1; n <= 40; ++n) {
    std::string frame = composeBlockFrame(std::vector<double>(n, -12.5));
    EXPECT_GT(frame.size() + 1, 39u) << n;
    EXPECT_NE(frame.size() + 1, 51u) << n;
    EXPECT_EQ(fieldsOf(frame).size(), static_cast<std::size_t>(n));
  }
}

TEST_F(Streams, TimingFramesCarryOneGateCharacterPerMillisecond) {
  engine.settings().gate = [](std::int64_t tick, int channel) {
    return channel == 1 && tick % 10 >= 7;
  };
  send(Lines{"s{11,0}", "s{13,2}", "s{10,1}"});
  EXPECT_EQ(advance(71ms), Lines{});
  Lines f = advance(73ms);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; ++k) {
    std::string want = "{";
    for (int t = k * 72; t < k * 72 + 72; ++t) want += t % 10 >= 7 ? '1' : '0';
    EXPECT_EQ(f[k], want + "}");
  }
  // The default gate is blocked 20 ms in every 100 ms.
  engine.settings().gate = nullptr;
  std::string d = engine.timingFrame(0);
  EXPECT_EQ(d, "{" + std::string(40, '0') + std::string(20, '1') + std::string(12, '0') + "}");
}

TEST_F(Streams, OneShotReadingIsOneNormalFrame) {
  use(Model::Aster);
  Lines r = send("s{10,5}");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].size() + 1, 39u);
  EXPECT_EQ(fieldsOf(r[0]), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_FALSE(engine.streaming());
}

TEST_F(Streams, CloseAfterFramesEndsTheLinkAfterThatManyFramesOfTheConnection) {
  Faults f;
  f.closeAfterFrames = 4;
  engine.setFaults(f);
  send(Lines{"s{12,0.010000,100}", "s{10,1}"});
  EXPECT_EQ(advance(30ms).size(), 3u);
  EXPECT_FALSE(engine.takeCloseRequest());
  EXPECT_EQ(advance(100ms).size(), 1u) << "the fourth frame is the last";
  EXPECT_TRUE(engine.takeCloseRequest());
  EXPECT_FALSE(engine.streaming());
  engine.connect(now);  // the next peer gets a new count
  send(Lines{"s{10,1}"});
  EXPECT_EQ(advance(30ms).size(), 3u);
  EXPECT_FALSE(engine.takeCloseRequest());
}

}  // namespace
}  // namespace pel::sim
