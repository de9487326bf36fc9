// PelmoraSim.exe: the simulated interface as a console program, for trying
// the studio or the ActiveX control by hand without a box.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "sim/interface/InterfaceSim.h"
#include "sim/interface/SimOptions.h"

namespace {

std::atomic<bool> quit{false};

BOOL WINAPI onConsoleEvent(DWORD) {
  quit = true;
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pel::sim;
  SimOptions o;
  try {
    o = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "PelmoraSim: %s\n%s", e.what(), simUsage());
    return 2;
  }
  if (o.help) {
    std::fputs(simUsage(), stdout);
    return 0;
  }
  InterfaceSim sim(o.settings);
  sim.setFaults(o.faults);
  try {
    if (o.comPort > 0)
      sim.startCom(o.comPort);
    else
      sim.startTcp(static_cast<std::uint16_t>(o.tcpPort));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "PelmoraSim: %s\n", e.what());
    return 1;
  }
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
  if (o.comPort > 0)
    std::printf("PelmoraSim: serving COM%d, identify reply \"%s\"\n", o.comPort,
                o.settings.identifyReply.c_str());
  else
    std::printf("PelmoraSim: serving 127.0.0.1:%d, identify reply \"%s\"\n", o.tcpPort,
                o.settings.identifyReply.c_str());
  std::fflush(stdout);
  std::size_t shown = 0;
  const auto start = std::chrono::steady_clock::now();
  while (!quit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (o.quiet) continue;
    auto entries = sim.log().entries();
    for (; shown < entries.size(); ++shown) {
      double t = std::chrono::duration<double>(entries[shown].at - start).count();
      std::printf("%10.3f  %s\n", t, entries[shown].text.empty() ? "(wake-up line)"
                                                                 : entries[shown].text.c_str());
    }
    std::fflush(stdout);
  }
  sim.stop();
  return 0;
}
