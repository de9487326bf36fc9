// Frame parsing plus record formatting, in records per second. The fastest
// stream the serial link carries is about 11520 bytes/s at 115200 baud: with
// 75-byte fast frames of 12 samples that is about 1850 records/s, and about
// 295 records/s of 39-byte normal frames. The parsers must stay far above.
#include <benchmark/benchmark.h>

#include "devicelink/records/StreamParsers.h"

using namespace pel::records;

namespace {

struct CountingSink : RecordSink {
  size_t records = 0, bytes = 0;
  bool DeliverRecord(const std::string& r) override {
    ++records;
    bytes += r.size();
    return true;
  }
  void AutoStop() override {}
};

StreamContext Context(int model, int activeChannels) {
  StreamContext ctx;
  ctx.modelState = model;
  for (int c = 0; c < activeChannels; ++c) ctx.channels[static_cast<size_t>(c)].active = true;
  ctx.convert[0] = ConvertSetting{1, 1.5, 0.25};
  ctx.samplingTime = 0.001;
  ctx.noOfData = ctx.loopCount = 1 << 30;
  return ctx;
}

void Run(benchmark::State& state, int mode, StreamContext ctx, const std::string& frame) {
  CountingSink sink;
  for (auto _ : state) {
    DispatchStreamFrame(mode, ctx, frame, sink);
    if (ctx.recordCounter > (1 << 29)) ctx.recordCounter = ctx.timeCounter = 0;
  }
  benchmark::DoNotOptimize(sink.bytes);
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(sink.records), benchmark::Counter::kIsRate);
}

void NormalFrame39(benchmark::State& state) {
  Run(state, kExperimentNormal, Context(kModelSornII, 4), "{    1.234   -0.567    2.000    0.031}\r");
}
void FastSingleFrame75(benchmark::State& state) {
  Run(state, kExperimentFast, Context(kModelQor, 1),
      "{ 1.234 1.235 1.236 1.237 1.238 1.239 1.240 1.241 1.242 1.243 1.244 1.245}\r");
}
void FastBlockFrame(benchmark::State& state) {
  Run(state, kExperimentFast, Context(kModelQor3, 2),
      "{ 1.234 0.5 1.235 0.6 1.236 0.7 1.237 0.8 1.238 0.9 1.239 1.0 1.240 1.1}\r");
}

}  // namespace

BENCHMARK(NormalFrame39);
BENCHMARK(FastSingleFrame75);
BENCHMARK(FastBlockFrame);
BENCHMARK_MAIN();
