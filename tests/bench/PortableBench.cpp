// Benchmarks of the portable code (not tests): stream parsing plus record
// formatting on the frames the simulated interface sends, the recent-records
// list read back full, and the least-squares fit. The "bound" counter of a
// parse benchmark is the most records/s a 115200-baud line carries for that
// frame: 11520 bytes/s over the frame's bytes (its CR and LF included).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "devicelink/records/RecentRecords.h"
#include "devicelink/records/StreamParsers.h"
#include "sim/interface/NormalFrame.h"
#include "sim/interface/StreamFrames.h"
#include "usblib/LeastSquares.h"

using namespace pel::records;

namespace {

constexpr double kLineBytesPerSecond = 115200.0 / 10;  // 8 data bits, start and stop bit

struct CountingSink : RecordSink {
  long long records = 0, bytes = 0;
  bool DeliverRecord(const std::string& r) override {
    ++records;
    bytes += static_cast<long long>(r.size());
    return true;
  }
  void AutoStop() override {}
};

StreamContext Context(int model, int activeChannels) {
  StreamContext ctx;
  ctx.own.modelState = model;
  for (int c = 0; c < activeChannels; ++c) ctx.own.channels[static_cast<size_t>(c)].active = true;
  ctx.convert[0] = ConvertSetting{1, 1.5, 0.25};
  ctx.own.samplingTime = 0.0001;
  ctx.own.noOfData = ctx.own.loopCount = 1 << 30;
  return ctx;
}

std::vector<double> Values(int n) {
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(1.234 + 0.011 * i);
  return v;
}

void Parse(benchmark::State& state, StreamContext ctx, std::string frame) {
  frame += "\r";
  CountingSink probe;
  StreamContext first = ctx;
  DispatchStreamFrame(static_cast<int>(state.range(0)), first, frame, probe);
  if (probe.records == 0) {
    state.SkipWithError("the frame gives no record");
    return;
  }
  CountingSink sink;
  for (auto _ : state) {
    DispatchStreamFrame(static_cast<int>(state.range(0)), ctx, frame, sink);
    if (ctx.recordCounter > (1 << 29)) ctx.recordCounter = ctx.timeCounter = 0;
  }
  benchmark::DoNotOptimize(sink.bytes);
  state.SetItemsProcessed(sink.records);
  state.counters["bound"] = kLineBytesPerSecond / static_cast<double>(frame.size() + 1) *
                            static_cast<double>(probe.records);
  state.counters["frame"] = static_cast<double>(frame.size());
}

void NormalFrame39(benchmark::State& state) {
  const auto v = Values(4);
  Parse(state, Context(kModelSornII, 4), pel::sim::composeNormalFrame(39, v, false));
}
void FastSingleFrame(benchmark::State& state) {
  const auto v = Values(8);
  Parse(state, Context(kModelQor, 1), pel::sim::composeFastSingleFrame(v));
}
void FastBlockFrame(benchmark::State& state) {
  const auto v = Values(2 * 10);  // ten samples of two channels
  Parse(state, Context(kModelQor3, 2), pel::sim::composeBlockFrame(v));
}

// GetDataList on a list that holds as many records as it keeps.
void GetDataListFull(benchmark::State& state) {
  RecentRecords list;
  const std::string record = "1,    0.123400,    1.234000,    2.345000,    3.456000;";
  for (auto _ : state) {
    state.PauseTiming();
    for (size_t i = 0; i <= RecentRecords::kKeptLimit; ++i) list.Append(record);
    state.ResumeTiming();
    benchmark::DoNotOptimize(list.GetDataList());
  }
}

void Fit1000Degree3(benchmark::State& state) {
  std::vector<double> x(1000), y(1000);
  for (int i = 0; i < 1000; ++i) {
    x[i] = i * 0.01;
    y[i] = 0.5 - 1.5 * x[i] + 0.25 * x[i] * x[i] - 0.01 * x[i] * x[i] * x[i] + 0.001 * std::sin(i);
  }
  double c[4] = {};
  for (auto _ : state) {
    if (vantiro::FitPolynomial(x.data(), y.data(), 3, 1000, c) != vantiro::kFitOk) {
      state.SkipWithError("fit failed");
      return;
    }
    benchmark::DoNotOptimize(c);
  }
}

}  // namespace

BENCHMARK(NormalFrame39)->Arg(kExperimentNormal);
BENCHMARK(FastSingleFrame)->Arg(kExperimentFast);
BENCHMARK(FastBlockFrame)->Arg(kExperimentFast);
BENCHMARK(GetDataListFull)->Unit(benchmark::kMillisecond);
BENCHMARK(Fit1000Degree3)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
