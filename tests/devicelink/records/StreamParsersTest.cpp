#include "devicelink/records/StreamParsers.h"

#include <gtest/gtest.h>

#include "RecordSinkFake.h"

using namespace pel::records;

namespace {

StreamContext Context(int model, std::initializer_list<int> active, double resolution = 0.001) {
  StreamContext ctx;
  ctx.own.modelState = model;
  for (int c : active) ctx.own.channels[static_cast<size_t>(c)].active = true;
  for (auto& ch : ctx.own.channels) ch.resolution = {resolution, resolution, resolution, 0.000001};
  ctx.own.samplingTime = 0.2;
  ctx.own.noOfData = 1000;
  ctx.own.loopCount = 1000;
  ResetRunState(ctx);
  return ctx;
}

std::string Frame(const std::string& body) { return "{" + body + "}\r"; }

}  // namespace

TEST(AnalogFrame, GoldenRecords) {
  struct Case {
    const char* name;
    std::string frame;
    double resolution;
    bool mode8;
    int recordsBefore;  // frames already parsed: sets number and time
    std::string record;
  } cases[] = {
      {"four values, one zero", Frame(" 1.2 0 3.3 4.4"), 0.1, false, 0,
       "1,0.00000000,  1.200000, 0.0,  3.300000,  4.400000;"},
      {"two values padded to four", Frame(" 1.27 0"), 0.05, false, 2, "3,0.40000000,  1.250000, 0.0, 0.0, 0.0;"},
      {"one value in 8-port mode", Frame(" 2.5"), 0.1, true, 0,
       "1,0.00000000,  2.500000, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0;"},
      {"negative value", Frame("-1.5 0.1 0.2 0.3"), 0.1, false, 0,
       "1,0.00000000, -1.500000,  0.100000,  0.200000,  0.300000;"},
      {"more than eight fields: the rest ignored", Frame("1 2 3 4 5 6 7 8 9 10"), 0.1, true, 0,
       "1,0.00000000,  1.000000,  2.000000,  3.000000,  4.000000,  5.000000,  6.000000,  7.000000,  "
       "8.000000;"},
      {"six values in 4-port mode are all kept", Frame("1 2 3 4 5 6"), 0.1, false, 0,
       "1,0.00000000,  1.000000,  2.000000,  3.000000,  4.000000,  5.000000,  6.000000;"},
      {"one trailing blank adds no field", Frame(" 1 2 "), 0.1, false, 0, "1,0.00000000,  1.000000,  2.000000, 0.0, 0.0;"},
      {"right-aligned 39-character frame", PaddedFrame({"1.300", "0.000", "-0.500", "3.000"}, 9), 0.1, false, 0,
       "1,0.00000000,  1.300000, 0.0, -0.500000,  3.000000;"},
  };
  for (const Case& c : cases) {
    StreamContext ctx = Context(kModelSornII, {0, 1, 2, 3}, c.resolution);
    ctx.own.mode8Port = c.mode8;
    ctx.recordCounter = ctx.timeCounter = c.recordsBefore;
    FakeSink sink;
    ParseAnalogFrame(ctx, c.frame, sink);
    ASSERT_EQ(sink.records.size(), 1u) << c.name;
    EXPECT_EQ(sink.records[0], c.record) << c.name;
  }
}

TEST(AnalogFrame, ResolutionZeroConversionSignAndPhotogate) {
  StreamContext ctx = Context(kModelQor, {0, 1, 2, 3}, 0.05);
  ctx.own.channels[1].resolution[0] = 0.0;                // B: written " 0.0"
  ctx.convert[0] = ConvertSetting{1, 2.0, 0.0};       // A: quantise 1.27 -> 1.25, then 2x
  ctx.own.channels[2].signInvert = true;                  // C: negated
  ctx.own.channels[3].photogate = true;                   // D: milliseconds to seconds in digital timing
  ctx.own.digitalTimmingMode = true;
  ctx.own.digitalInput = true;
  FakeSink sink;
  ParseAnalogFrame(ctx, Frame("1.27 4 1.5 250"), sink);
  ASSERT_EQ(sink.records.size(), 1u);
  EXPECT_EQ(sink.records[0], "1,0.00000000,  2.500000, 0.0, -1.500000,  0.250000;");
}

TEST(AnalogFrame, BadFieldDropsTheRecordButCountsIt) {
  StreamContext ctx = Context(kModelSornII, {0});
  FakeSink sink;
  ParseAnalogFrame(ctx, Frame("1.0 x"), sink);
  EXPECT_TRUE(sink.records.empty());
  EXPECT_EQ(ctx.recordCounter, 1);
  ParseAnalogFrame(ctx, Frame(""), sink);  // no fields: nothing at all
  EXPECT_EQ(ctx.recordCounter, 1);
}

// Two or more blanks before the closing brace leave an empty last field. It is
// no number, so it ends the frame as a bad field does: the sample it starts is
// counted (number and time) but never delivered, and the next frame goes on
// after the gap.
TEST(StreamFrames, AnEmptyLastFieldEndsTheFrameAfterCountingItsSample) {
  using Parser = void (*)(StreamContext&, std::string_view, RecordSink&);
  struct Case {
    const char* name;
    Parser parse;
    std::string frame;
    std::vector<std::string> records;
    std::string next;  // the first record of the following frame " 5"
    bool mode8 = false;
  } cases[] = {
      {"normal stream, 8-port: eight values, then two blanks", ParseAnalogFrame, Frame("1 2 3 4 5 6 7 8  "), {},
       "2,0.20000000,  5.000000, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0;", true},
      {"normal stream, 4-port: a bad field past the channels", ParseAnalogFrame, Frame("1 2 3 4 5 6 7 8 9 x"), {},
       "2,0.20000000,  5.000000, 0.0, 0.0, 0.0;"},
      {"normal stream", ParseAnalogFrame, Frame(" 1 2  "), {}, "2,0.20000000,  5.000000, 0.0, 0.0, 0.0;"},
      {"normal stream, blanks only", ParseAnalogFrame, Frame("   "), {}, "2,0.20000000,  5.000000, 0.0, 0.0, 0.0;"},
      {"fast single", ParseFastSingleFrame, Frame(" 1 2  "),
       {"1,0.00000000,  1.000000, 0.0, 0.0, 0.0;", "2,0.20000000,  2.000000, 0.0, 0.0, 0.0;"},
       "4,0.60000000,  5.000000, 0.0, 0.0, 0.0;"},
      {"fast block", ParseFastBlockFrame, Frame(" 1 2  "),
       {"1,0.00000000,  1.000000,  0.0,  0.0,  0.0;", "2,0.20000000,  2.000000,  0.0,  0.0,  0.0;"},
       "4,0.60000000,  5.000000,  0.0,  0.0,  0.0;"},
  };
  for (const Case& c : cases) {
    StreamContext ctx = Context(kModelTolemic, {0}, 0.1);
    ctx.own.mode8Port = c.mode8;
    FakeSink sink;
    c.parse(ctx, c.frame, sink);
    EXPECT_EQ(sink.records, c.records) << c.name;
    c.parse(ctx, Frame(" 5"), sink);
    ASSERT_EQ(sink.records.size(), c.records.size() + 1) << c.name;
    EXPECT_EQ(sink.records.back(), c.next) << c.name;
  }
}

TEST(AnalogFrame, AutoStopAtThePlannedCount) {
  StreamContext ctx = Context(kModelSornII, {0});
  ctx.own.autoStop = true;
  ctx.own.noOfData = 5;
  FakeSink sink;
  for (int i = 0; i < 7; ++i) DispatchStreamFrame(kExperimentNormal, ctx, PaddedFrame({"1", "2", "3", "4"}, 9), sink);
  EXPECT_EQ(sink.records.size(), 5u);  // the sixth is never delivered
  EXPECT_GE(sink.autoStops, 1);
  EXPECT_EQ(sink.records.back().substr(0, 2), "5,");

  StreamContext zero = Context(kModelSornII, {0});
  zero.own.autoStop = zero.own.setZeroMode = true;
  zero.own.noOfData = 1;
  FakeSink zs;
  ParseAnalogFrame(zero, Frame("1"), zs);
  ParseAnalogFrame(zero, Frame("1"), zs);
  EXPECT_EQ(zs.records.size(), 2u);  // zero-setting runs do not stop by count
  EXPECT_EQ(zs.autoStops, 0);
}

// With AutoStop no stream delivers a record numbered above NoOfData, also
// when the stop does not take effect at once (the sink here keeps the run
// going) and when an incomplete sample of an earlier frame used up a number.
TEST(StreamFrames, NoRecordPastThePlan) {
  struct Case {
    const char* name;
    int mode, model;
    std::initializer_list<int> active;
    std::vector<std::string> frames;
    std::vector<std::string> heads;  // record number and "," of each delivered record
  } cases[] = {
      {"fast block: the second sample of the first frame lacks its B field", kExperimentFast, kModelTolemic, {0, 1},
       {"{" + std::string(30, ' ') + "1.0 2.0 3.0}\r", "{" + std::string(30, ' ') + "4.0 5.0 6.0 7.0}\r"},
       {"1,"}},
      {"fast block: whole samples", kExperimentFast, kModelQor3, {0}, {PaddedFrame({"1", "2", "3", "4", "5"}, 9)},
       {"1,", "2,"}},
      {"fast single", kExperimentFast, kModelSornII, {0}, {PaddedFrame(std::vector<std::string>(8, "1"), 9)},
       {"1,", "2,"}},
      {"normal stream: a bad frame used up a number", kExperimentNormal, kModelSornII, {0},
       {PaddedFrame({"1", "1", "1", "1"}, 9), PaddedFrame({"1", "x", "1", "1"}, 9), PaddedFrame({"1", "1", "1", "1"}, 9)},
       {"1,"}},
      {"timing: many edges in one frame", kExperimentTiming, kModelSornII, {0}, {Frame("0101010101")},
       {"1,", "2,"}},
  };
  for (const Case& c : cases) {
    StreamContext ctx = Context(c.model, c.active, 0.1);
    ctx.own.autoStop = true;
    ctx.own.noOfData = 2;
    ctx.own.maxRecordCount = 50000;
    ctx.own.digitalTiming = {false, true, false};
    FakeSink sink;
    for (const std::string& f : c.frames) EXPECT_TRUE(DispatchStreamFrame(c.mode, ctx, f, sink)) << c.name;
    std::vector<std::string> heads;
    for (const std::string& r : sink.records) heads.push_back(r.substr(0, r.find(',') + 1));
    EXPECT_EQ(heads, c.heads) << c.name;
    EXPECT_GE(sink.autoStops, 1) << c.name;
  }
}

TEST(LoopCountRule, TimeRestartsWhileNumbersRunOn) {
  StreamContext ctx = Context(kModelSornII, {0});
  ctx.own.loopCount = 3;
  ctx.own.noOfData = 10;
  FakeSink sink;
  for (int i = 0; i < 7; ++i) DispatchStreamFrame(kExperimentNormal, ctx, PaddedFrame({"1", "1", "1", "1"}, 9), sink);
  ASSERT_EQ(sink.records.size(), 7u);
  const char* heads[] = {"1,0.00000000,", "2,0.20000000,", "3,0.40000000,", "4,0.00000000,",
                         "5,0.20000000,", "6,0.40000000,", "7,0.00000000,"};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(sink.records[i].substr(0, 13), heads[i]);

  StreamContext same = Context(kModelSornII, {0});
  same.own.loopCount = same.own.noOfData = 3;  // LoopCount equal to the planned count: no restart
  FakeSink s2;
  for (int i = 0; i < 4; ++i) DispatchStreamFrame(kExperimentNormal, same, PaddedFrame({"1", "1", "1", "1"}, 9), s2);
  EXPECT_EQ(s2.records[3].substr(0, 13), "4,0.60000000,");
}

TEST(Dispatch, FrameLengthsChooseTheParser) {
  // A frame of the given length (CR included) whose body is " 1 1 1...":
  // (length - 3) / 2 one-digit fields.
  auto frameOf = [](size_t length) {
    std::string body;
    while (body.size() < length - 3) body += body.size() % 2 == 0 ? ' ' : '1';
    return "{" + body + "}\r";
  };
  struct Case {
    int mode, model;
    size_t length;
    bool qorOverCom;
    size_t records;
  } cases[] = {
      {1, 0, 38, false, 0},  {1, 0, 39, false, 1},  {1, 0, 50, false, 0},  {1, 0, 51, false, 1},
      {1, 4, 99, false, 1},  {1, 7, 100, false, 0},
      {2, 0, 75, false, 36},  // fast single: every field a sample
      {2, 0, 74, false, 0},  {2, 4, 51, false, 0},
      {2, 5, 51, false, 1},  // models 5 and 7 read 51-character fast frames as normal frames
      {2, 7, 39, false, 0},  {2, 7, 40, false, 18},  // fast block, one active channel
      {2, 5, 75, false, 36}, {2, 4, 40, false, 0},
      {2, 4, 40, true, 18},  // the ActiveX COM path takes a Qor as a block model
      {3, 0, 20, false, 1},  // timing: the leading blank ticks once, then one rising edge
  };
  for (const Case& c : cases) {
    StreamContext ctx = Context(c.model, {0}, 0.1);
    ctx.own.digitalTiming = {false, true, false};
    const std::string frame = frameOf(c.length);
    ASSERT_EQ(frame.size(), c.length);
    FakeSink sink;
    EXPECT_TRUE(DispatchStreamFrame(c.mode, ctx, frame, sink, c.qorOverCom));
    EXPECT_EQ(sink.records.size(), c.records) << "mode " << c.mode << " model " << c.model << " length " << c.length;
  }
  StreamContext ctx = Context(0, {0});
  FakeSink sink;
  EXPECT_FALSE(DispatchStreamFrame(8, ctx, Frame("1 2 3 4"), sink));
}

TEST(FastSingleFrame, EverySampleIsARecordOfTheFastChannel) {
  StreamContext ctx = Context(kModelSornII, {1}, 0.01);
  ctx.own.samplingTime = 0.001;
  FakeSink sink;
  ParseFastSingleFrame(ctx, Frame(" 0.5 0.254"), sink);
  ASSERT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.records[0], "1,0.00000000, 0.0,  0.500000, 0.0, 0.0;");
  EXPECT_EQ(sink.records[1], "2,0.00100000, 0.0,  0.250000, 0.0, 0.0;");

  ctx.own.mode8Port = true;
  ctx.own.channels[1].resolution[0] = 0;  // resolution 0 reads as an inactive channel
  ParseFastSingleFrame(ctx, Frame("1"), sink);
  EXPECT_EQ(sink.records[2], "3,0.00200000, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0;");
}

TEST(FastSingleFrame, StopsAtThePlannedCountAndAfterAHandlerStop) {
  StreamContext ctx = Context(kModelQor, {0});
  ctx.own.autoStop = true;
  ctx.own.noOfData = 3;
  FakeSink sink;
  ParseFastSingleFrame(ctx, Frame("1 2 3 4 5"), sink);
  EXPECT_EQ(sink.records.size(), 3u);
  EXPECT_EQ(sink.autoStops, 1);

  StreamContext c2 = Context(kModelQor, {0});
  FakeSink handlerStops;
  handlerStops.stopAfter = 2;
  ParseFastSingleFrame(c2, Frame("1 2 3 4 5"), handlerStops);
  EXPECT_EQ(handlerStops.records.size(), 2u);  // nothing after the stop
  EXPECT_EQ(handlerStops.autoStops, 0);
}

TEST(FastSingleFrame, LoopCountAfterEveryRecord) {
  StreamContext ctx = Context(kModelSornII, {0});
  ctx.own.loopCount = 2;
  FakeSink sink;
  ParseFastSingleFrame(ctx, Frame("1 1 1"), sink);
  EXPECT_EQ(sink.records[2].substr(0, 13), "3,0.00000000,");
}

TEST(FastBlockFrame, OneFieldPerActiveChannelAndSample) {
  StreamContext ctx = Context(kModelTolemic, {0, 2}, 0.5);
  ctx.own.samplingTime = 0.005;
  FakeSink sink;
  ParseFastBlockFrame(ctx, Frame(" 1 2.2 3 4 5"), sink);  // the fifth field has no partner
  ASSERT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.records[0], "1,0.00000000,  1.000000,  0.0,   2.000000,  0.0;");
  EXPECT_EQ(sink.records[1], "2,0.00500000,  3.000000,  0.0,   4.000000,  0.0;");
  EXPECT_EQ(ctx.recordCounter, 3);  // the incomplete sample was counted, not delivered

  ctx.own.mode8Port = true;
  ctx.own.channels[6].active = true;
  ctx.recordCounter = ctx.timeCounter = 0;
  ParseFastBlockFrame(ctx, Frame("1 2 3"), sink);
  EXPECT_EQ(sink.records[2], "1,0.00000000,  1.000000,  0.0,   2.000000,  0.0,  0.0,  0.0,   3.000000,  0.0;");
}

TEST(FastBlockFrame, NoActiveChannelDropsTheFrameAndStopsEndIt) {
  StreamContext none = Context(kModelQor3, {});
  FakeSink sink;
  ParseFastBlockFrame(none, Frame("1 2 3"), sink);  // must not loop
  EXPECT_TRUE(sink.records.empty());

  StreamContext ctx = Context(kModelQor3, {0});
  ctx.own.autoStop = true;
  ctx.own.noOfData = 2;
  ParseFastBlockFrame(ctx, Frame("1 2 3 4"), sink);
  EXPECT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.autoStops, 1);

  StreamContext c2 = Context(kModelQor3, {0});
  FakeSink handlerStops;
  handlerStops.stopAfter = 1;
  ParseFastBlockFrame(c2, Frame("1 2 3 4"), handlerStops);
  EXPECT_EQ(handlerStops.records.size(), 1u);
}

TEST(TimingFrame, GateEdgesByOption) {
  struct Case {
    const char* name;
    std::array<bool, 3> options;
    int slits;
    std::string body;
    std::vector<std::string> records;
  } cases[] = {
      {"rising edges", {false, true, false}, 1, "00111000001", {"1,  0.002000;", "2,  0.005000;"}},
      {"falling edges", {false, false, true}, 1, "1100010", {"1,  0.002000;", "2,  0.001000;"}},
      {"both edges", {false, true, true}, 1, "0011", {"1,  0.002000;"}},
      {"a rising edge at tick 0 emits nothing", {false, true, false}, 1, "1", {}},
      {"two slits", {true, false, false}, 2, "0101010", {"1,  0.004000;"}},
      {"slit count 0 acts as 1", {true, false, false}, 0, "0101010",
       {"1,  0.002000;", "2,  0.002000;", "3,  0.002000;"}},
      {"slit count -5 acts as 1", {true, false, false}, -5, "010", {"1,  0.002000;"}},
      {"only the first 72 characters", {false, true, false}, 1, std::string(72, '0') + "1", {}},
      {"a 71-tick interval", {false, true, false}, 1, std::string(71, '0') + "1", {"1,  0.071000;"}},
      {"other characters only tick", {false, true, false}, 1, "0x01", {"1,  0.003000;"}},
  };
  for (const Case& c : cases) {
    StreamContext ctx = Context(kModelSornII, {2});
    ctx.own.digitalChannel = 2;  // as the start of the run chose it
    ctx.own.digitalTiming = c.options;
    ctx.own.noOfStroboSlit = c.slits;
    ctx.own.digitalInput = true;
    FakeSink sink;
    ParseTimingFrame(ctx, Frame(c.body), sink);
    EXPECT_EQ(sink.records, c.records) << c.name;
    EXPECT_EQ(ctx.timing[0].ticks, 0.0) << c.name;  // only the digital channel (C) is timed
  }
  EXPECT_EQ(EffectiveStroboSlit(300), 255);
  EXPECT_EQ(EffectiveStroboSlit(7), 7);
}

TEST(TimingFrame, StateCarriesAcrossFramesAndAutoStops) {
  StreamContext ctx = Context(kModelSornII, {0});
  ctx.own.digitalTiming = {false, true, false};
  ctx.own.autoStop = true;
  ctx.own.maxRecordCount = 2;
  FakeSink sink;
  ParseTimingFrame(ctx, Frame("0001"), sink);  // interval split over two frames below
  ParseTimingFrame(ctx, Frame("0000"), sink);
  ParseTimingFrame(ctx, Frame("0001"), sink);
  // The gate fell at the start of the second frame: the interval counts from there.
  EXPECT_EQ(sink.records, (std::vector<std::string>{"1,  0.003000;", "2,  0.007000;"}));
  EXPECT_EQ(sink.autoStops, 0);  // stops once the time counter passes Max_Record_Count
  ParseTimingFrame(ctx, Frame("01"), sink);
  EXPECT_EQ(sink.autoStops, 1);

  StreamContext c2 = Context(kModelSornII, {0});
  c2.own.digitalTiming = {false, true, true};
  FakeSink handlerStops;
  handlerStops.stopAfter = 1;
  ParseTimingFrame(c2, Frame("0010101"), handlerStops);
  EXPECT_EQ(handlerStops.records.size(), 1u);
}

TEST(RunState, FastAndDigitalChannelFallBackToA) {
  StreamContext ctx = Context(kModelSornII, {});
  ctx.recordCounter = ctx.timeCounter = 9;
  ctx.timing[3].ticks = 4;
  ResetRunState(ctx);
  EXPECT_EQ(ctx.fastChannel, 0);
  EXPECT_EQ(ctx.digitalChannel(), 0);
  EXPECT_EQ(ctx.recordCounter, 0);
  EXPECT_EQ(ctx.timeCounter, 0);
  EXPECT_EQ(ctx.timing[3].ticks, 0);
  ctx.own.channels[1].active = ctx.own.channels[5].active = true;
  ResetRunState(ctx);
  EXPECT_EQ(ctx.fastChannel, 5);
  ctx.own.digitalChannel = 42;  // out of range: timing falls back to A instead of overrunning
  FakeSink sink;
  ctx.own.digitalTiming = {false, true, false};
  ParseTimingFrame(ctx, Frame("01"), sink);
  EXPECT_EQ(sink.records.size(), 1u);
}

// A context on a component's fields reads them where they live: a change
// between frames shows in the next record; a snapshot keeps what it took.
TEST(StreamFieldsView, ReadsLiveFieldsAndSnapshotKeepsItsOwn) {
  struct Owner {
    int model = kModelSornII;
    bool mode8 = false;
    bool invert = false;
    double samplingTime = 0.2;
    int loopCount = 1000, noOfData = 1000, maxRecordCount = 50;
    bool autoStop = false, setZero = false, timmingMode = false;
    std::array<bool, 3> timingOptions{true, false, false};
    int slits = 1;
    int digitalChannel = 0;
  } o;
  StreamFields f;
  f.owner = &o;
  f.modelState = &o.model;
  f.mode8Port = &o.mode8;
  f.channel = [](const void* owner, int c) {
    ChannelSetup ch;
    ch.active = c == 0;
    ch.signInvert = static_cast<const Owner*>(owner)->invert;
    return ch;
  };
  f.samplingTime = &o.samplingTime;
  f.loopCount = &o.loopCount;
  f.noOfData = &o.noOfData;
  f.maxRecordCount = &o.maxRecordCount;
  f.autoStop = &o.autoStop;
  f.setZeroMode = &o.setZero;
  f.digitalInput = [](const void*) { return false; };
  f.digitalTimmingMode = &o.timmingMode;
  f.digitalTiming = &o.timingOptions;
  f.noOfStroboSlit = &o.slits;
  f.digitalChannel = &o.digitalChannel;
  StreamContext ctx;
  ctx.fields = &f;
  ResetRunState(ctx);

  FakeSink sink;
  ParseAnalogFrame(ctx, Frame("1000 0 0 0"), sink);
  const StreamContext frozen = ctx.Snapshot();
  o.invert = true;
  o.samplingTime = 0.5;
  ParseAnalogFrame(ctx, Frame("1000 0 0 0"), sink);
  ASSERT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.records[0].find('-'), std::string::npos) << sink.records[0];
  EXPECT_NE(sink.records[1].find('-'), std::string::npos) << sink.records[1];
  EXPECT_EQ(frozen.fields, nullptr);
  EXPECT_FALSE(frozen.channel(0).signInvert);
  EXPECT_DOUBLE_EQ(frozen.samplingTime(), 0.2);
  EXPECT_DOUBLE_EQ(ctx.samplingTime(), 0.5);
}
