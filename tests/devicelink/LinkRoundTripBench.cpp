// Benchmark, not a test: the time of one command and its reply (SendCommand
// then WaitReply) against the simulated interface, over TCP 127.0.0.1:4000
// and, when the COM pair 7<->8 is linked, over COM7.
//   scripts/compair.sh start 7 8; wine devicelink_roundtrip_bench.exe
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "devicelink/Pelmora.h"
#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"

namespace {

void measure(const char* name, TPelmora& p, int rounds) {
  const auto start = std::chrono::steady_clock::now();
  int answered = 0;
  for (int i = 0; i < rounds; ++i) {
    p.SendCommand("s{10,4}");
    if (!p.WaitReply().empty()) ++answered;
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-4s %d rounds, %d answered, %.1f ms per command\n", name, rounds, answered, ms / rounds);
}

}  // namespace

int main() {
  const int rounds = 20;
  {
    pel::sim::InterfaceSim sim(pel::sim::Model::Qor);
    sim.startTcp(4000);
    auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->AutoDetect(false);
    p->UseOnlyTolemic(true);
    if (p->InitializeComm() == 0) measure("TCP", *p, rounds);
    else std::printf("TCP  no interface\n");
  }
  try {
    pel::sim::InterfaceSim sim(pel::sim::Model::Qor);
    sim.startCom(8);
    pel::reg::writeString(pel::reg::Root::LocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", "PelmoraBench7", "COM7");
    auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->AutoDetect(false);
    p->VCPort(7);
    if (p->InitializeComm() == 0) measure("COM", *p, rounds);
    else std::printf("COM  no interface\n");
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, "PelmoraBench7");
      RegCloseKey(k);
    }
  } catch (const std::exception& e) {
    std::printf("COM  skipped: %s\n", e.what());
  }
  return 0;
}
