// The dialect and the parse logic, fed whole, byte by byte and in random pieces.
#include <gtest/gtest.h>

#include "highspeed/Dialect.h"
#include "tests/highspeed/ModelRig.h"

namespace quillon::test {
namespace {

using sim::EncodeFrame;

const Delivery kDeliveries[] = {Delivery::Whole, Delivery::ByteWise, Delivery::RandomPieces};

// A text reply of exactly `length` bytes, blanks after the bracket.
std::string Padded(char open, const std::string& body, char close, std::size_t length) {
  return std::string(1, open) + std::string(length - 4 - body.size(), ' ') + body + close + "\r\n";
}

std::string Frame(std::initializer_list<std::int32_t> raw, bool sorn = false, bool wrong = false) {
  return EncodeFrame(std::vector<std::int32_t>(raw), sorn, wrong);
}

TEST(Dialect, CommandsAndIntervalCounts) {
  EXPECT_EQ(CmdIdentify(), "S{10,3}");
  EXPECT_EQ(CmdSetup(2, 49), "S{82,2,49}");
  EXPECT_EQ(CmdDownload(6252, 30), "S{80,12,6252,30}");
  EXPECT_EQ(CmdBlock(0), "S{80,4,0}");
  EXPECT_EQ(CmdDelete(16), "S{80,14,16}");
  struct Case { double s; std::optional<int> count; };
  const Case cases[] = {{0.0001, 1}, {0.0049, 49}, {0.00015, 1}, {0.01, 100}, {0.0, 0},
                        {1e30, kMaxIntervalCount}, {-0.001, std::nullopt}, {0.0 / 0.0, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(IntervalCount(c.s), c.count) << c.s;
  // The dialog's float interval gives the same counts.
  EXPECT_EQ(IntervalCount(static_cast<double>(0.0001f)), 1);
  EXPECT_EQ(IntervalCount(static_cast<double>(0.0049f)), 49);
}

TEST(Dialect, ValuesAreBoundedAndSamplesDecode) {
  int v[6];
  const std::string many = "{" + std::string(400, '9') + ",1,2,3,4,5}";
  EXPECT_EQ(ReadValues(reinterpret_cast<const std::uint8_t*>(many.data()), static_cast<int>(many.size()), '}', 6, v), 6);
  EXPECT_EQ(v[0], 999999999);
  EXPECT_EQ(v[5], 5);
  const std::string extra = "{1,2,3,4,5,6,7,8}";
  EXPECT_EQ(ReadValues(reinterpret_cast<const std::uint8_t*>(extra.data()), static_cast<int>(extra.size()), '}', 6, v), 7)
      << "stops once past the expected count";
  const std::uint8_t a[] = {0x00, 0x00, 0x61, 0xA8}, b[] = {0xFF, 0xFF, 0xD8, 0xF0};
  EXPECT_FLOAT_EQ(DecodeSample(a), 2.5f);
  EXPECT_FLOAT_EQ(DecodeSample(b), -1.0f);
}

TEST(Parser, IdentificationByLength) {
  struct Case { std::string line; const char* model; int sends; };
  const Case cases[] = {
      {"{" + std::string(16, 'x') + "}\r\n", "PelmoraAster", 1},
      {"{" + std::string(17, 'x') + "}\r\n", "PelmoraSorn", 0},
      {"{" + std::string(27, 'x') + "}\r\n", "PelmoraSorn", 0},
      {"{" + std::string(18, 'x') + "}\r\n", "", 0},
  };
  for (Delivery d : kDeliveries) {
    for (const auto& c : cases) {
      Rig r(sim::Model::Aster, d);
      r.Apply(r.m.BeginIdentify());
      r.sent.clear();
      r.Deliver(c.line);
      EXPECT_EQ(r.S([](AcquisitionState& s) { return s.m_modelName; }), c.model) << c.line.size();
      EXPECT_EQ(static_cast<int>(r.sent.size()), c.sends);
      if (c.sends) {
        EXPECT_EQ(r.sent[0], "S{80,10}");
      }
      // The parser is never stuck: a real identification still gets through.
      if (*c.model == 0) {
        r.Deliver("{0}\r\n");  // a stray status during identification
        r.Deliver("{" + std::string(16, 'y') + "}\r\n");
        EXPECT_EQ(r.S([](AcquisitionState& s) { return s.m_modelName; }), "PelmoraAster");
      }
      const ControlState cs = r.m.Controls();
      EXPECT_EQ(cs.experimentEnabled, true);
    }
  }
}

// Aster identified, list of buffers 1, 4 and 16 read with their infos.
TEST(Parser, BufferListAndInfos) {
  for (Delivery d : kDeliveries) {
    Rig r(sim::Model::Aster, d, 7);
    r.sim.SetBuffer(1, 0, 1, 1, 0, 0, 100);
    r.sim.SetBuffer(4, 10, 0, 1, 2, 0, 1000);
    r.sim.SetBuffer(16, 0, 49, 1, 2, 3, 50100);
    r.Identify();
    const std::vector<std::string> want = {"S{10,3}", "S{80,10}", "S{80,11,1}", "S{80,11,4}", "S{80,11,16}"};
    EXPECT_EQ(r.sent, want);
    EXPECT_EQ(r.Count(Effect::FillBufferList), 1);
    r.S([](AcquisitionState& s) {
      EXPECT_EQ(s.m_bufferCount, 3);
      EXPECT_EQ(s.m_bufferTable[1].number, 4);
      EXPECT_EQ(s.m_bufferTable[1].msInterval, 10);
      EXPECT_EQ(s.m_bufferTable[1].sensor[1], 2);
      EXPECT_EQ(s.m_bufferTable[2].count, 50100);
      EXPECT_EQ(s.m_bufferTable[2].fastInterval, 49);
      EXPECT_FALSE(s.m_infoQueryActive);
      return 0;
    });
    // Row 2 (buffer 16) selection.
    ASSERT_TRUE(r.m.SelectRow(1));
    r.S([](AcquisitionState& s) {
      EXPECT_EQ(s.m_selStart, 3 * 3126);
      EXPECT_EQ(s.m_selEnd, 3 * 3126 + 1000);
      EXPECT_FLOAT_EQ(s.m_slowInterval, 0.01f);
      return 0;
    });
    EXPECT_FALSE(r.m.SelectRow(3));
  }
}

TEST(Parser, ListWithOtherThanSixteenValuesIsDroppedAndTheParserGoesOn) {
  Rig r;
  r.S([](AcquisitionState& s) { s.m_modelName = "PelmoraAster"; s.m_listExpected = 1; return 0; });
  r.Deliver("{1,0,0,1,0,0,0,0,0,0,0,0,0,0,1}\r\n");
  EXPECT_TRUE(r.sent.empty());
  r.Deliver("{1,0,0,1,0,0,0,0,0,0,0,0,0,0,0,1}\r\n");
  EXPECT_EQ(r.sent, std::vector<std::string>{"S{80,11,1}"});
  r.S([](AcquisitionState& s) {
    EXPECT_EQ(s.m_bufferCount, 3);
    EXPECT_EQ(s.m_bufferTable[2].number, 16);
    return 0;
  });
}

TEST(Parser, InfoRangeEdges) {
  struct Case { const char* values; bool taken; };
  const Case cases[] = {{"0,1,1,0,0,1", true},      {"60000,0,128,128,128,50100", true},
                        {"0,1,1,0,0,0", false},     {"0,1,1,0,0,50101", false},
                        {"60001,0,1,0,0,5", false}, {"0,50,1,0,0,5", false},
                        {"0,1,129,0,0,5", false},   {"0,1,1,0,0", false}};
  for (const auto& c : cases) {
    Rig r;
    r.S([](AcquisitionState& s) {
      s.m_modelName = "PelmoraAster";
      s.m_bufferCount = 1;
      s.m_bufferTable[0].number = 2;
      s.m_infoQueryActive = 1;
      return 0;
    });
    std::string body = c.values;
    std::string line = "{" + std::string(26 - body.size(), ' ') + body + "}\r\n";
    ASSERT_EQ(line.size(), 30u);
    r.Deliver(line);
    EXPECT_EQ(r.Count(Effect::FillBufferList), c.taken ? 1 : 0) << c.values;
    EXPECT_EQ(r.Count(Effect::Message), 0) << "dropped without a message";
    r.Deliver("[02]\r\n");  // the parser is not stuck on a dropped line
    EXPECT_EQ(r.Count(Effect::Message, "QuillonDlg2"), 1);
  }
}

TEST(Parser, NoiseAndUnknownLinesNeverLockTheParser) {
  for (Delivery d : kDeliveries) {
    Rig r(sim::Model::Aster, d, 3);
    r.S([](AcquisitionState& s) { s.m_modelName = "PelmoraAster"; s.m_startPending = 1; return 0; });
    r.Deliver("xx\x01\x02{what is this}\r\n");  // noise, then a line no handler takes
    r.Deliver("{" + std::string(400, 'n'));     // a line that runs past the cap
    r.Deliver("[abc]\r\n{1}\r\n");
    EXPECT_EQ(r.sent, std::vector<std::string>{"S{80,1}"});
  }
}

TEST(Parser, StatusCharactersAndCodes) {
  struct Case {
    const char* line;
    int running, startPending, deletePending;
    std::vector<std::string> sends;
    const char* message;
    int runningAfter, startPendingAfter;
  };
  const Case cases[] = {
      {"{0}\r\n", 1, 0, 0, {}, "QuillonDlg1", 0, 0},
      {"{0}\r\n", 0, 0, 1, {"S{80,10}"}, "QuillonDlg2", 0, 0},
      {"{1}\r\n", 1, 1, 0, {"S{80,1}"}, "", 1, 0},
      {"{1}\r\n", 0, 0, 1, {"S{80,10}"}, "", 0, 0},
      {"{5}\r\n", 0, 0, 0, {}, "", 0, 0},
      {"[09]\r\n", 1, 1, 0, {"S{80,1}"}, "", 1, 0},
      {"[09]\r\n", 1, 0, 0, {}, "", 1, 0},  // no start pending: no unasked start
      {"[02]\r\n", 1, 1, 0, {}, "QuillonDlg2", 0, 0},
      {"[10]\r\n", 1, 0, 0, {}, "QuillonDlg2", 0, 0},
      {"[x1]\r\n", 1, 0, 0, {}, "", 1, 0},
  };
  for (const auto& c : cases) {
    Rig r;
    r.S([&](AcquisitionState& s) {
      s.m_modelName = "PelmoraAster";
      s.m_running = c.running;
      s.m_startPending = c.startPending;
      s.m_deletePending = c.deletePending;
      return 0;
    });
    r.Deliver(c.line);
    EXPECT_EQ(r.sent, c.sends) << c.line << c.running;
    EXPECT_EQ(r.Count(Effect::Message), *c.message ? 1 : 0) << c.line;
    if (*c.message) {
      EXPECT_EQ(r.Count(Effect::Message, c.message), 1) << c.line;
    }
    r.S([&](AcquisitionState& s) {
      EXPECT_EQ(s.m_running, c.runningAfter) << c.line;
      EXPECT_EQ(s.m_startPending, c.startPendingAfter) << c.line;
      return 0;
    });
    const ControlState cs = r.m.Controls();
    EXPECT_EQ(cs.running, c.runningAfter != 0);
    EXPECT_EQ(cs.othersEnabled, c.runningAfter == 0) << "buttons follow the state, whatever the reply";
  }
}

// The start handshake in several orders of replies.
TEST(Parser, StartStopOrders) {
  {  // start, acknowledgement, capture ends with its info line: list refresh, buttons back
    Rig r;
    r.sim.SetBuffer(1, 0, 1, 1, 0, 0, 10);
    r.Identify();
    r.sent.clear();
    r.Do(r.m.Experiment(1, 0.0002f, false, 2.5f));
    EXPECT_EQ(r.sent, (std::vector<std::string>{"S{82,1,2}", "S{80,1}", "S{80,10}", "S{80,11,1}", "S{80,11,2}"}));
    EXPECT_FALSE(r.m.Controls().running);
    EXPECT_TRUE(r.m.Controls().othersEnabled);
  }
  {  // stop before the acknowledgement: a late acknowledgement starts nothing
    Rig r;
    r.Identify();
    r.sim.Faults().silent = true;
    r.Do(r.m.Experiment(2, 0.0049f, false, 2.5f));
    r.Do(r.m.Experiment(2, 0.0049f, false, 2.5f));  // stop
    r.sim.Faults().silent = false;
    r.sent.clear();
    r.Deliver("{1}\r\n");
    EXPECT_TRUE(r.sent.empty());
    EXPECT_TRUE(r.m.Controls().othersEnabled);
  }
  {  // refusal by status code, then an acknowledgement: nothing starts
    Rig r;
    r.Identify();
    r.sim.Faults().silent = true;
    r.Do(r.m.Experiment(1, 0.0001f, false, 2.5f));
    r.sent.clear();
    r.Deliver("[08]\r\n");
    EXPECT_TRUE(r.m.Controls().othersEnabled);
    EXPECT_FALSE(r.m.Controls().running);
    r.Deliver("{1}\r\n");
    EXPECT_TRUE(r.sent.empty());
  }
  {  // a quick end: the info line arrives right after the set-up was sent
    Rig r;
    r.Identify();
    r.sim.Faults().silent = true;
    r.Apply(r.m.Experiment(1, 0.0001f, false, 2.5f));
    r.Deliver(Padded('{', "0,1,1,0,0,300", '}', 30));
    EXPECT_FALSE(r.m.Controls().running);
    EXPECT_TRUE(r.m.Controls().othersEnabled);
  }
}

// Downloads of several sizes request 30 samples at a time and end in one export.
TEST(Download, RequestSequencesAndEndState) {
  struct Case { int count; std::vector<int> requests; };
  const Case cases[] = {{1, {1}}, {30, {30}}, {31, {30, 1}}, {65, {30, 30, 5}}};
  for (Delivery d : kDeliveries) {
    for (const auto& c : cases) {
      Rig r(sim::Model::Aster, d, static_cast<unsigned>(c.count));
      r.sim.SetBuffer(3, 0, 2, 0, 5, 0, c.count);
      r.Identify();
      ASSERT_TRUE(r.m.SelectRow(0));
      r.sent.clear();
      r.log.clear();
      r.Do(r.m.Loading(r.now));
      std::vector<std::string> want;
      int first = 2 * 3126;
      for (int n : c.requests) {
        want.push_back(CmdDownload(first, n));
        first += n;
      }
      EXPECT_EQ(r.sent, want) << c.count;
      EXPECT_EQ(r.Count(Effect::Export), 1);
      const Effect* ex = r.Last(Effect::Export);
      ASSERT_NE(ex, nullptr);
      EXPECT_EQ(ex->a, 0) << "to the text file";
      EXPECT_EQ(ex->b, c.count);
      EXPECT_EQ(r.Count(Effect::Message, "QuillonDlg4"), 1);
      EXPECT_EQ(r.Last(Effect::ProgressShow)->a, 0);
      EXPECT_EQ(r.Last(Effect::ProgressRange)->b, 2 * 3126 + c.count);
      r.S([&](AcquisitionState& s) {
        EXPECT_EQ(s.m_downloadActive, 0);
        EXPECT_EQ(s.table.m_rowCount, c.count);
        for (int i = 0; i < c.count; ++i) {
          EXPECT_EQ(s.table.columns[0][i], 0.0f);
          EXPECT_FLOAT_EQ(s.table.columns[1][i], sim::QuillonSim::PatternRaw(3, i) / 10000.0f);
        }
        return 0;
      });
      const ControlState cs = r.m.Controls();
      EXPECT_TRUE(cs.experimentEnabled && cs.othersEnabled);
    }
  }
}

TEST(Download, SornBlocksAndTheirExport) {
  Rig r(sim::Model::Sorn, Delivery::RandomPieces, 5);
  r.Identify();
  r.log.clear();
  // Experiment info for 3 blocks on A and C, as the end of a capture gives it.
  r.sim.SetSornExperiment(0, 1, 1, 0, 3, 3);
  r.Deliver(Padded('[', "1,0,1,1,0,3,3", ']', 32));
  EXPECT_EQ(r.Count(Effect::FillExperimentRow), 1);
  r.sent.clear();
  r.Do(r.m.Loading(r.now));
  EXPECT_EQ(r.sent, (std::vector<std::string>{"S{80,4,0}", "S{80,4,1}", "S{80,4,2}"}));
  const Effect* ex = r.Last(Effect::Export);
  ASSERT_NE(ex, nullptr);
  EXPECT_EQ(ex->b, 45) << "90 samples over two channels";
  r.S([](AcquisitionState& s) {
    // A and C active: s1 in A, s2 in C.
    EXPECT_FLOAT_EQ(s.table.columns[0][0], sim::QuillonSim::PatternRaw(0, 0) / 10000.0f);
    EXPECT_EQ(s.table.columns[1][0], 0.0f);
    EXPECT_FLOAT_EQ(s.table.columns[2][0], sim::QuillonSim::PatternRaw(0, 1) / 10000.0f);
    return 0;
  });
}

TEST(Download, LineEndsInsideFrameDataAreData) {
  // Data bytes that end the line in "}" CR LF at length 30 (a buffer-info
  // length) and in "]" CR LF at length 32 (an experiment-info length), while a
  // buffer list is expected (which takes any "}" CR LF line).
  // Data bytes as text: the first two read as a valid buffer info ("{08,1,2,3,4,5}"
  // CR LF at length 30) and a valid experiment info at length 32.
  auto samples = [](const std::string& bytes) {
    std::vector<std::int32_t> raw;
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
      std::uint32_t u = 0;
      for (int k = 0; k < 4; ++k) u = (u << 8) | static_cast<std::uint8_t>(bytes[i + k]);
      raw.push_back(static_cast<std::int32_t>(u));
    }
    return raw;
  };
  const std::vector<std::vector<std::int32_t>> frames = {
      samples("1,2,3,4,5" + std::string(14, 'x') + "}\r\n" + "abcdef"),
      samples("1,2,3,4,5,6" + std::string(14, 'x') + "]\r\n" + "abcdefgh"),
      {0x007D0D0A, 2},
  };
  for (Delivery d : kDeliveries) {
    for (const auto& raw : frames) {
      Rig r(sim::Model::Aster, d, 11);
      const int n = static_cast<int>(raw.size());
      r.S([&](AcquisitionState& s) {
        s.m_modelName = "PelmoraAster";
        s.m_listExpected = 1;
        s.m_sensorId[0] = 1;
        s.m_selEnd = n;
        return 0;
      });
      r.sim.Faults().silent = true;
      r.Apply(r.m.Loading(r.now));
      r.Deliver(EncodeFrame(raw, false));
      r.S([&](AcquisitionState& s) {
        EXPECT_EQ(s.table.m_rowCount, n);
        for (int i = 0; i < n; ++i) EXPECT_FLOAT_EQ(s.table.columns[0][i], raw[i] / 10000.0f);
        return 0;
      });
      EXPECT_EQ(r.Count(Effect::Export), 1);
    }
  }
}

TEST(Download, DamagedFramesAreAskedForAgainAndSilenceEnds) {
  struct Case { int wrongCheck, badHeader; bool noise; };
  const Case cases[] = {{1, 0, false}, {0, 1, false}, {0, 2, false}, {2, 0, true}};
  for (const auto& c : cases) {
    Rig r(sim::Model::Aster, Delivery::RandomPieces, 9);
    r.sim.SetBuffer(1, 0, 1, 1, 0, 0, 65);
    r.Identify();
    ASSERT_TRUE(r.m.SelectRow(0));
    r.sim.Faults().wrongCheckFrames = c.wrongCheck;
    r.sim.Faults().badHeaderFrames = c.badHeader;
    r.sim.Faults().noiseBeforeReplies = c.noise;
    r.Do(r.m.Loading(r.now));
    for (int i = 0; i < 10 && r.Count(Effect::Export) == 0; ++i) r.Idle(AcquisitionModel::kResyncQuietMs);
    EXPECT_EQ(r.Count(Effect::Export), 1);
    r.S([](AcquisitionState& s) {
      EXPECT_EQ(s.table.m_rowCount, 65) << "no sample stored twice or lost";
      for (int i = 0; i < 65; ++i)
        EXPECT_FLOAT_EQ(s.table.columns[0][i], sim::QuillonSim::PatternRaw(1, i) / 10000.0f);
      return 0;
    });
  }
  // Silence: asked again a few times, then the download ends with a message.
  Rig r;
  r.sim.SetBuffer(1, 0, 1, 1, 0, 0, 65);
  r.Identify();
  ASSERT_TRUE(r.m.SelectRow(0));
  r.sim.Faults().silent = true;
  r.Do(r.m.Loading(r.now));
  for (int i = 0; i < 10; ++i) r.Idle(AcquisitionModel::kFrameTimeoutMs);
  EXPECT_EQ(r.Count(Effect::Send, "S{80,12,0,30}"), 1 + AcquisitionModel::kMaxRetries);
  EXPECT_EQ(r.Count(Effect::FixedMessage), 1);
  EXPECT_TRUE(r.m.Controls().othersEnabled);
  EXPECT_EQ(r.Count(Effect::Export), 0);
}

TEST(Download, ABufferLargerThanTheTableFinishesAndKeepsWhatFits) {
  Rig r;
  r.sim.SetBuffer(1, 0, 1, 1, 0, 0, 50100);
  r.Identify();
  ASSERT_TRUE(r.m.SelectRow(0));
  r.Do(r.m.Loading(r.now));
  EXPECT_EQ(r.Count(Effect::Export), 1);
  EXPECT_EQ(r.Count(Effect::FixedMessage), 1) << "rows were left out";
  EXPECT_EQ(r.Last(Effect::Export)->b, 50010);
  r.S([](AcquisitionState& s) {
    EXPECT_EQ(s.table.m_rowCount, 50010);
    EXPECT_EQ(s.m_downloadActive, 0);
    return 0;
  });
}

TEST(Download, LevelModeDetectsCrossingsPerChannelWithTheBuffersInterval) {
  Rig r;
  r.S([](AcquisitionState& s) {
    s.m_modelName = "PelmoraAster";
    s.m_levelMode = 1;
    s.m_interval = 0.0001f;  // the dialog's: must not be used
    s.m_level = 2.5f;
    return 0;
  });
  // One channel: 1, 3, 2, 1, 3 -> a crossing at the fifth sample; 2.5 changes nothing.
  r.S([](AcquisitionState& s) {
    s.m_bufferCount = 1;
    s.m_bufferTable[0] = BufferInfo{1, 0, 2, {1, 0, 0}, 7};
    return 0;
  });
  ASSERT_TRUE(r.m.SelectRow(0));
  r.sim.Faults().silent = true;
  r.Apply(r.m.Loading(r.now));
  r.Deliver(Frame({10000, 30000, 25000, 20000, 10000, 25000, 30000}));
  r.S([](AcquisitionState& s) {
    EXPECT_EQ(s.table.m_rowCount, 1);
    EXPECT_FLOAT_EQ(s.table.columns[0][0], 7 * 0.0002f) << "7th sample at the buffer's 0.2 ms";
    return 0;
  });
  // Two channels interleaved (A and B): each has its own crossing.
  Rig q;
  q.S([](AcquisitionState& s) {
    s.m_modelName = "PelmoraAster";
    s.m_levelMode = 1;
    s.m_level = 2.5f;
    s.m_bufferCount = 1;
    s.m_bufferTable[0] = BufferInfo{1, 5, 0, {1, 2, 0}, 8};
    return 0;
  });
  ASSERT_TRUE(q.m.SelectRow(0));
  q.sim.Faults().silent = true;
  q.Apply(q.m.Loading(q.now));
  // A: 3, 1, 3, 1   B: 1, 1, 1, 3 (B never crosses: it never went above first)
  q.Deliver(Frame({30000, 10000, 10000, 10000, 30000, 10000, 10000, 30000}));
  q.S([](AcquisitionState& s) {
    EXPECT_EQ(s.table.m_rowCount, 1);
    EXPECT_FLOAT_EQ(s.table.columns[0][0], 3 * 0.005f) << "A's third sample, slow interval 5 ms";
    EXPECT_EQ(s.table.columns[1][0], 0.0f);
    return 0;
  });
  EXPECT_EQ(q.Last(Effect::Export)->b, 1);
}

// The Level box may change during a download: the rows keep the form they
// were started in, and so does what the export is told of them.
TEST(Download, RowFormIsLatchedWhenTheDownloadStarts) {
  for (const bool levelAtStart : {true, false}) {
    Rig r;
    r.S([](AcquisitionState& s) {
      s.m_modelName = "PelmoraAster";
      s.m_level = 2.5f;
      s.m_bufferCount = 1;
      s.m_bufferTable[0] = BufferInfo{1, 0, 1, {1, 0, 0}, 60};  // two requests of 30
      return 0;
    });
    ASSERT_TRUE(r.m.SelectRow(0));
    r.m.SetLevelMode(levelAtStart);
    r.sim.Faults().silent = true;
    r.Apply(r.m.Loading(r.now));
    r.Deliver(Frame({10000, 30000, 10000, 30000, 10000}));
    EXPECT_FALSE(r.m.SelectRow(0)) << "no new selection while downloading";
    r.m.SetLevelMode(!levelAtStart);
    r.Deliver(Frame({30000, 10000, 30000, 10000, 30000}));
    r.S([&](AcquisitionState& s) {
      EXPECT_EQ(s.m_levelRows, levelAtStart ? 1 : 0);
      EXPECT_EQ(s.m_selEnd, 60);
      // Level: above, below, then a crossing at samples 4 and 8; else every sample.
      EXPECT_EQ(s.table.m_rowCount, levelAtStart ? 2 : 10) << levelAtStart;
      if (levelAtStart) {
        EXPECT_FLOAT_EQ(s.table.columns[0][1], 8 * 0.0001f);
      }
      return 0;
    });
    ASSERT_NE(r.Last(Effect::Export), nullptr);
    EXPECT_EQ(r.Last(Effect::Export)->b, levelAtStart ? 2 : 10);
  }
  // A Sorn block download never has the level form, whatever the box says.
  Rig q(sim::Model::Sorn);
  q.Identify();
  q.sim.SetSornExperiment(0, 1, 1, 0, 0, 1);
  q.Deliver(Padded('[', "1,0,1,1,0,0,1", ']', 32));
  q.m.SetLevelMode(true);
  q.Do(q.m.Loading(q.now));
  q.S([](AcquisitionState& s) {
    EXPECT_EQ(s.m_levelRows, 0);
    EXPECT_EQ(s.table.m_rowCount, 30);
    return 0;
  });
}

TEST(Dialog, RefusalsByState) {
  Rig r;
  r.Identify();
  r.Apply(r.m.Loading(r.now));
  EXPECT_EQ(r.Count(Effect::Message, "QuillonDlg10"), 1);
  r.Apply(r.m.Delete());
  EXPECT_EQ(r.Count(Effect::Send, "S{80,14,0}"), 0) << "no selection: nothing";
  r.sim.Faults().silent = true;
  r.Apply(r.m.Experiment(1, 0.0001f, false, 2.5f));
  r.Apply(r.m.Loading(r.now));
  r.Apply(r.m.Delete());
  r.Apply(r.m.Clear());
  EXPECT_EQ(r.Count(Effect::Message, "QuillonDlg8"), 1);
  EXPECT_EQ(r.Count(Effect::Message, "QuillonDlg5"), 2);
  EXPECT_EQ(r.Count(Effect::FixedMessage), 0);
  r.Apply(r.m.Experiment(1, -1.0f, false, 2.5f));  // stop (running)
  r.Apply(r.m.Experiment(1, -1.0f, false, 2.5f));  // a negative interval is refused
  EXPECT_EQ(r.Count(Effect::FixedMessage), 1);
  Rig s(sim::Model::Sorn);
  s.Identify();
  s.Apply(s.m.Loading(s.now));
  s.Apply(s.m.Delete());
  EXPECT_EQ(s.Count(Effect::Message, "QuillonDlg9"), 1);
  EXPECT_EQ(s.Count(Effect::Message, "QuillonDlg6"), 1);
}

}  // namespace
}  // namespace quillon::test

namespace quillon::test {
namespace {

// Whole downloads through the simulator's faults, in every delivery.
TEST(Download, SimulatorFaultsEndInTheSameTable) {
  for (Delivery d : kDeliveries) {
    for (int fault = 0; fault < 3; ++fault) {
      Rig r(sim::Model::Aster, d, 20 + static_cast<unsigned>(fault));
      r.sim.Faults().lineEndSamples = fault == 0;
      r.sim.Faults().unsolicitedLines = fault == 1;
      r.sim.Faults().noiseBeforeReplies = fault == 2;
      r.sim.SetBuffer(2, 0, 3, 1, 0, 3, 140);
      r.Identify();
      ASSERT_TRUE(r.m.SelectRow(0));
      r.Do(r.m.Loading(r.now));
      ASSERT_EQ(r.Count(Effect::Export), 1) << fault;
      EXPECT_EQ(r.Last(Effect::Export)->b, 70);
      std::vector<std::int32_t> raw;
      r.sim.Buffer(2).samples.swap(raw);
      r.S([&](AcquisitionState& s) {
        EXPECT_EQ(s.table.m_rowCount, 70);
        for (int i = 0; i < 70; ++i) {
          EXPECT_FLOAT_EQ(s.table.columns[0][i], raw[2 * i] / 10000.0f) << i;
          EXPECT_FLOAT_EQ(s.table.columns[2][i], raw[2 * i + 1] / 10000.0f) << i;
        }
        return 0;
      });
      EXPECT_EQ(r.Count(Effect::FixedMessage), 0);
    }
  }
}

}  // namespace
}  // namespace quillon::test
