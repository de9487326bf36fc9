// The simulated interface's protocol engine, driven with a fake clock.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "SimEngineFixture.h"
#include "sim/interface/SimCore.h"
#include "sim/interface/SimEngine.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;
using Clock = SimEngine::Clock;

using test::Lines;
using test::linesOf;

// The shared fixture, with replies taken at times of a test's own choosing.
class Engine : public test::EngineTest {
 protected:
  using EngineTest::send;
  // Sends text (lines with their CR LF) at time `at` and returns the reply lines.
  Lines send(const std::string& lines, Clock::time_point at) {
    engine.receive(lines, at);
    return linesOf(engine.takeOutput());
  }
  Lines tickAt(Clock::duration after) {
    engine.tick(t0 + after);
    return linesOf(engine.takeOutput());
  }
};

TEST_F(Engine, EachModelIdentifiesItselfAndAnswersItsProbes) {
  struct Case {
    Model model;
    const char* identify;
    bool timing, scope, eightPort;
  };
  const Case cases[] = {
      {Model::SornII, "{Pelmora SORN II}", true, false, false},
      {Model::Aster, "{Pelmora ASTER}", true, true, false},
      {Model::Vaxo, "{Pelmora VAXO}", true, true, false},
      {Model::Qor, "{Pelmora QOR}", true, true, true},
      {Model::Qor3, "{Pelmora QOR03 ready}", true, true, true},
      {Model::Unnamed, "{Pelmora X}", false, false, false},
  };
  for (const Case& c : cases) {
    engine.settings() = InterfaceSettings::forModel(c.model);
    EXPECT_EQ(send("s{10,3}"), Lines{c.identify});
    EXPECT_EQ(send("s{16,0}").size(), c.timing ? 1u : 0u) << c.identify;
    EXPECT_EQ(send("s{11,3}").size(), c.scope ? 1u : 0u) << c.identify;
    EXPECT_EQ(send("s{11,5}").size(), c.eightPort ? 1u : 0u) << c.identify;
  }
}

TEST_F(Engine, ProbesAnswerWithOrWithoutBracesOrNotAtAll) {
  engine.settings().timingProbe = "16 ok";
  engine.settings().scopeProbe.reset();
  engine.settings().eightPortProbe = "{8}";
  EXPECT_EQ(send("s{16,0}"), Lines{"16 ok"});
  EXPECT_EQ(send("s{11,3}"), Lines{});
  EXPECT_EQ(send("s{11,5}"), Lines{"{8}"});
}

TEST_F(Engine, AnswersProductVersionAndSensorIds) {
  engine.settings().productNo = "P-77";
  engine.settings().versionNo = "6.5";
  engine.settings().sensorIds = {5, -1, 7, 2, 9, 10, 0, 3};
  EXPECT_EQ(send("s{10,R}"), Lines{"{P-77}"});
  EXPECT_EQ(send("s{10,4}"), Lines{"{6.5}"});
  EXPECT_EQ(send("s{20}"), Lines{"{5,-1,7,2}"});
  EXPECT_EQ(send("s{20,2}"), Lines{"{5,-1,7,2,9,10,0,3}"});
}

TEST_F(Engine, LogsEveryLineWithItsTimeAndLeavesUnknownOnesUnanswered) {
  // One command in three pieces, a wake-up line, noise and an unknown code.
  engine.receive("s{1", t0);
  engine.receive("0,3", t0 + 1ms);
  EXPECT_EQ(linesOf(engine.takeOutput()), Lines{});
  EXPECT_EQ(send("}\r\n\r\nhello\r\ns{99,1}\r\n", t0 + 2ms), Lines{"{Pelmora QOR}"});
  auto log = engine.log().entries();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].text, "s{10,3}");
  EXPECT_EQ(log[0].at, t0 + 2ms);
  EXPECT_EQ(log[1].text, "");
  EXPECT_EQ(log[2].text, "hello");
  EXPECT_EQ(log[3].text, "s{99,1}");
  EXPECT_EQ(engine.log().count("s{10,3}"), 1u);
  EXPECT_TRUE(engine.log().waitFor("s{99,1}", 0ms));
  EXPECT_FALSE(engine.log().waitFor("s{99,1}", 0ms, 2));
}

TEST_F(Engine, StreamsNormalFramesAtTheSamplingTimeUntilStopped) {
  EXPECT_EQ(send("s{12,0.010}"), Lines{});
  EXPECT_EQ(send("s{10,1}"), Lines{});
  EXPECT_TRUE(engine.streaming());
  EXPECT_EQ(engine.nextFrameDue(), t0 + 10ms);
  EXPECT_EQ(tickAt(9ms).size(), 0u);
  auto first = tickAt(10ms);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].size() + 1, 39u);  // the CR counts
  EXPECT_EQ(first[0], engine.normalFrame(0));
  EXPECT_EQ(tickAt(35ms).size(), 2u);  // samples at 20 and 30 ms
  // Frames differ from sample to sample.
  EXPECT_NE(engine.normalFrame(1), engine.normalFrame(2));
  // Stop takes effect at once: nothing due is sent after it.
  EXPECT_EQ(send("s{10,0}\r\n", t0 + 45ms), Lines{});
  EXPECT_FALSE(engine.streaming());
  EXPECT_EQ(tickAt(100ms).size(), 0u);
  EXPECT_EQ(engine.framesSent(), 3);
}

TEST_F(Engine, FrameLengthFollowsModelAndPortMode) {
  EXPECT_EQ(engine.normalFrame(0).size() + 1, 39u);
  send("s{11,5}");
  EXPECT_EQ(engine.normalFrame(0).size() + 1, 99u);
  send("s{11,1}");
  EXPECT_EQ(engine.normalFrame(0).size() + 1, 39u);
  engine.settings() = InterfaceSettings::forModel(Model::Qor3);
  EXPECT_EQ(engine.normalFrame(0).size() + 1, 51u);
  // A single reading is one frame.
  auto one = send("s{10,5}");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].size() + 1, 51u);
  engine.settings().squareBrackets = true;
  EXPECT_EQ(engine.normalFrame(0).front(), '[');
}

TEST_F(Engine, SamplingTimeIgnoresBadValuesAndIsBounded) {
  send("s{12,0.500,26}");
  EXPECT_DOUBLE_EQ(engine.samplingTime(), 0.5);
  send("s{12,abc}");
  send("s{12,-1}");
  EXPECT_DOUBLE_EQ(engine.samplingTime(), 0.5);
  send("s{12,0.00001}");
  EXPECT_DOUBLE_EQ(engine.samplingTime(), 0.001);
}

TEST_F(Engine, CatchesUpAfterAStallWithinABound) {
  send("s{12,0.001}");
  send("s{10,1}");
  EXPECT_EQ(tickAt(10ms).size(), 10u);
  EXPECT_EQ(tickAt(10s).size(), 1000u);  // the rest of the backlog is dropped
  EXPECT_EQ(tickAt(10s + 1ms).size(), 1u);
}

TEST_F(Engine, HandlerTableTakesNewCommandsAndOverrides) {
  engine.setHandler(90, "1", [](SimEngine& e, const Command& c, Clock::time_point) {
    e.reply("{bank " + c.arg(0) + "}");
  });
  engine.setHandler(90, [](SimEngine& e, const Command&, Clock::time_point) { e.reply("{90}"); });
  engine.setHandler(10, "3", [](SimEngine& e, const Command&, Clock::time_point) {
    e.reply("{Pelmora VAXO custom}");
  });
  EXPECT_EQ(send("s{90,1}"), Lines{"{bank 1}"});
  EXPECT_EQ(send("s{90,3}"), Lines{"{90}"});
  EXPECT_EQ(send("s{10,3}"), Lines{"{Pelmora VAXO custom}"});
  engine.setHandler(90, nullptr);
  EXPECT_EQ(send("s{90,3}"), Lines{});
  // A handler or stream source that throws costs only its own answer.
  engine.setHandler(81, [](SimEngine&, const Command&, Clock::time_point) -> void {
    throw std::runtime_error("bank empty");
  });
  EXPECT_EQ(send("s{81}\r\ns{10,4}\r\n", t0), Lines{"{4.2}"});
  engine.settings().value = [](std::int64_t n, int) -> double {
    if (n == 1) throw std::runtime_error("sensor gone");
    return 1;
  };
  send("s{12,0.010}");
  send("s{10,1}");
  EXPECT_EQ(tickAt(50ms).size(), 1u);
  EXPECT_FALSE(engine.streaming());
}

TEST_F(Engine, RunsCanStreamFromAnotherSourceAndHandlersSendBinary) {
  // As a timing stream would: a run of gate characters per sampling time.
  engine.setHandler(10, "1", [](SimEngine& e, const Command&, Clock::time_point now) {
    e.startStream(now, [](const SimEngine&, std::int64_t n) {
      return "{" + std::string(72, n % 2 ? '1' : '0') + "}";
    });
  });
  engine.setHandler(89, [](SimEngine& e, const Command&, Clock::time_point) {
    e.sendRaw(std::string("[02\0\0\1\0", 7));
  });
  send("s{12,0.010}");
  send("s{10,1}");
  auto frames = tickAt(20ms);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], "{" + std::string(72, '0') + "}");
  EXPECT_EQ(frames[1], "{" + std::string(72, '1') + "}");
  send("s{10,0}");
  engine.receive("s{89,1}\r\n", t0);
  EXPECT_EQ(engine.takeOutput(), std::string("[02\0\0\1\0", 7));
}

TEST_F(Engine, SilentPeerLogsButNeverAnswers) {
  Faults f;
  f.silent = true;
  engine.setFaults(f);
  EXPECT_EQ(send("s{10,3}"), Lines{});
  send("s{12,0.010}");
  send("s{10,1}");
  EXPECT_EQ(tickAt(1s).size(), 0u);
  EXPECT_EQ(engine.log().size(), 3u);
}

TEST_F(Engine, GarbageReplacesEveryNthLine) {
  Faults f;
  f.garbageEvery = 1;
  engine.setFaults(f);
  auto r = send("s{10,3}");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].find_first_of("{}[]"), std::string::npos) << r[0];
  f.garbageEvery = 2;
  engine.setFaults(f);
  send("s{12,0.010}");
  send("s{10,1}");
  auto frames = tickAt(40ms);
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0].front(), '{');
  EXPECT_EQ(frames[1].find('{'), std::string::npos);
  EXPECT_EQ(frames[2].front(), '{');
  EXPECT_EQ(frames[3].find('{'), std::string::npos);
}

TEST_F(Engine, FramesOfWrongLength) {
  Faults f;
  f.frameLengthDelta = -1;
  engine.setFaults(f);
  send("s{12,0.010}");
  send("s{10,1}");
  auto frames = tickAt(20ms);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].size() + 1, 38u);
  EXPECT_EQ(frames[0].back(), '}');
  // Replies keep their form.
  EXPECT_EQ(send("s{10,3}"), Lines{"{Pelmora QOR}"});
}

TEST_F(Engine, PeerThatClosesAfterSomeCommands) {
  Faults f;
  f.closeAfterCommands = 2;
  engine.setFaults(f);
  EXPECT_EQ(send("s{10,3}"), Lines{"{Pelmora QOR}"});
  EXPECT_FALSE(engine.takeCloseRequest());
  // The second line closes the link unanswered; what follows it is lost.
  EXPECT_EQ(send("s{10,R}\r\ns{10,4}\r\n", t0), Lines{});
  EXPECT_TRUE(engine.takeCloseRequest());
  EXPECT_EQ(engine.log().texts(), (Lines{"s{10,3}", "s{10,R}"}));
  // A new peer starts counting again.
  engine.connect(t0 + 1s);
  EXPECT_EQ(send("s{10,R}"), Lines{"{QOR-1}"});
}

TEST(SimCoreStep, CutsOutputAndBoundsTheWait) {
  SimCore core(InterfaceSettings::forModel(Model::Aster));
  auto t0 = Clock::time_point() + 10s;
  core.connected(t0);
  Outgoing whole = core.step("s{10,3}\r\n", t0);
  ASSERT_EQ(whole.pieces.size(), 1u);
  EXPECT_EQ(whole.pieces[0], "{Pelmora ASTER}\r\n");
  EXPECT_EQ(whole.gap.count(), 0);
  EXPECT_EQ(core.waitHint(t0, 5ms), 5ms);

  core.withEngine([](SimEngine& e) {
    Faults f;
    f.delivery = Delivery::ByteByByte;
    f.pieceGapMicros = 300;
    f.closeAfterCommands = 5;
    e.setFaults(f);
  });
  Outgoing bytes = core.step("s{10,4}\r\n", t0);
  EXPECT_EQ(bytes.pieces.size(), std::string("{3.0}\r\n").size());
  EXPECT_EQ(bytes.gap, 300us);
  core.step("s{12,0.002}\r\ns{10,1}\r\n", t0);
  EXPECT_EQ(core.waitHint(t0 + 1ms, 5ms), 1ms);
  EXPECT_EQ(core.waitHint(t0 + 3ms, 5ms), 0ms);
  EXPECT_TRUE(core.step("s{10,0}\r\n", t0).close);
}

}  // namespace
}  // namespace pel::sim
