// Benchmarks, not tests, of the device link against the simulated
// interface in this process; each prints bench rows.
//   pel_link_bench roundtrip-tcp      a command and its reply over TCP 4000
//   pel_link_bench roundtrip-com A B  the same over COMa, the interface on COMb
//                                     (a linked pair, COMa in SERIALCOMM)
//   pel_link_bench fast-run           a fast run over TCP at the shortest
//                                     sampling time the interface streams
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "sim/interface/InterfaceSim.h"

namespace {

using Clock = std::chrono::steady_clock;

// The floor of a round trip, the bound of its row: the command's own cost
// (over TCP 50 ms after queueing and 10 ms between the pumps; over the port
// 10 ms in the flush and 10 ms between the pumps) and one pass of the reply
// wait, in which the reply is taken at the earliest.
constexpr int kTcpCommandMs = 60;
constexpr int kComCommandMs = 20;
int RoundTripFloorMs(int commandMs) { return commandMs + LinkFlavour::Studio().replyWaitStepMs; }

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// Median time of one "s{10,4}" and its reply; -1 when one went unanswered.
double RoundTripMs(TPelmora& p, int rounds) {
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    p.SendCommand("s{10,4}");
    if (p.WaitReply().empty()) return -1;
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::shared_ptr<TPelmora> TcpLink() {
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  p->AutoDetect(false);
  p->UseOnlyTolemic(true);
  if (p->InitializeComm() != 0) return nullptr;
  return p;
}

int RoundTripTcp() {
  pel::sim::InterfaceSim sim(pel::sim::Model::Qor);
  sim.startTcp(4000);
  auto p = TcpLink();
  if (!p) {
    std::fprintf(stderr, "no interface on TCP 4000\n");
    return 1;
  }
  const double ms = RoundTripMs(*p, 20);
  p->CloseComm();
  if (ms < 0) return 1;
  std::printf("BENCH\tcommand round trip over TCP (median of 20)\t%.2f\tms\t%d\tlower\n", ms,
              RoundTripFloorMs(kTcpCommandMs));
  return 0;
}

int RoundTripCom(int hostPort, int simPort) {
  pel::sim::InterfaceSim sim(pel::sim::Model::Qor);
  sim.startCom(simPort);
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  p->AutoDetect(false);
  p->VCPort(hostPort);
  if (p->InitializeComm() != 0) {
    std::fprintf(stderr, "no interface on COM%d\n", hostPort);
    return 1;
  }
  const double ms = RoundTripMs(*p, 20);
  p->CloseComm();
  if (ms < 0) return 1;
  std::printf("BENCH\tcommand round trip over a COM pair (median of 20)\t%.2f\tms\t%d\tlower\n", ms,
              RoundTripFloorMs(kComCommandMs));
  return 0;
}

double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME f) { return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

int FastRun() {
  pel::sim::InterfaceSim sim(pel::sim::Model::Qor3);
  auto s = sim.settings();
  s.sensorIds = {12, 5, 0, 0, 0, 0, 0, 0};
  sim.setSettings(s);
  sim.startTcp(4000);
  auto p = TcpLink();
  if (!p) {
    std::fprintf(stderr, "no interface on TCP 4000\n");
    return 1;
  }
  p->SamplingTime(0.001);
  p->ExperimentLength(5);
  p->AutoStop(true);
  long long delivered = 0, gaps = 0, last = 0;
  bool stopped = false;
  p->DataReceived([&](TPelmora&, const std::wstring& d) {
    ++delivered;
    const long long n = std::wcstoll(d.c_str(), nullptr, 10);
    if (n != last + 1) ++gaps;
    last = n;
  });
  p->StopExperiment([&](TPelmora&) { stopped = true; });
  const double sampling = p->SamplingTime();
  const double cpuBefore = CpuMs();
  const auto start = Clock::now();
  if (p->Pelmora(true) != 0) {
    std::fprintf(stderr, "the run did not start\n");
    return 1;
  }
  const auto limit = start + std::chrono::seconds(60);
  while (!stopped && Clock::now() < limit) {
    Pump();
    Sleep(1);
  }
  const double wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  const double cpuMs = CpuMs() - cpuBefore;
  const long long sent = sim.framesSent() * s.blockSamplesPerFrame;
  p->CloseComm();
  const long long planned = static_cast<long long>(5 / sampling + 0.5) + 1;
  std::fprintf(stderr, "fast run at %g s: %lld records delivered (%lld gaps), %lld sent, %lld planned, %.0f ms\n",
               sampling, delivered, gaps, sent, planned, wallMs);
  if (!stopped) std::fprintf(stderr, "the run did not stop by itself\n");
  // Every record the interface sent up to the planned count arrives, in order.
  const long long due = std::min(sent, planned);
  std::printf("BENCH\tfast run over TCP at %g s: records delivered in order\t%lld\trecords\t%lld\thigher\n",
              sampling, delivered - gaps, due);
  std::printf("BENCH\tfast run over TCP: CPU time per second of run (link and simulator)\t%.0f\tms/s\t500\tlower\n",
              cpuMs / (wallMs / 1000));
  return stopped ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  try {
    if (what == "roundtrip-tcp") return RoundTripTcp();
    if (what == "roundtrip-com" && argc > 3) return RoundTripCom(std::atoi(argv[2]), std::atoi(argv[3]));
    if (what == "fast-run") return FastRun();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: pel_link_bench roundtrip-tcp | roundtrip-com A B | fast-run\n");
  return 2;
}
