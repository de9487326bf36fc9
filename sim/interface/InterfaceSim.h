#pragma once
// The simulated measurement interface for tests and for the PelmoraSim
// console program: the command protocol of SimEngine served on TCP
// 127.0.0.1:port (one peer at a time; the next one waits in the backlog and
// is served when the current one goes) or on a COM port.
//
//   pel::sim::InterfaceSim sim(pel::sim::Model::Qor3);
//   sim.startTcp();                       // 127.0.0.1:4000
//   ... the host connects and identifies ...
//   EXPECT_TRUE(sim.log().waitFor("s{10,3}", 2s));
//
// Settings, faults and handlers may be changed at any time from any thread;
// they apply from the next received line or frame on.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "sim/interface/CommandLog.h"
#include "sim/interface/Faults.h"
#include "sim/interface/SimCore.h"
#include "sim/interface/SimSettings.h"

namespace pel::sim {

class InterfaceSim {
 public:
  explicit InterfaceSim(Model model = Model::Qor);
  explicit InterfaceSim(InterfaceSettings settings);
  ~InterfaceSim();  // stops and joins the transport thread
  InterfaceSim(const InterfaceSim&) = delete;
  InterfaceSim& operator=(const InterfaceSim&) = delete;

  // Listens on 127.0.0.1:port; throws std::runtime_error when it cannot.
  void startTcp(std::uint16_t port = 4000);
  // Opens COMn at 115200 baud 8N1; throws std::runtime_error when it cannot.
  void startCom(int portNumber);
  // Closes the listener or port and any peer; does nothing when stopped.
  void stop();
  bool running() const { return thread_.joinable(); }

  // Replaces the settings with the model's preset (faults stay).
  void setModel(Model model);
  void setSettings(InterfaceSettings settings);
  InterfaceSettings settings();
  void setFaults(const Faults& faults);
  Faults faults();
  // See SimEngine::setHandler.
  void setHandler(int code, SimEngine::Handler h);
  void setHandler(int code, const std::string& firstArg, SimEngine::Handler h);
  // Runs f(SimEngine&) under the engine's lock.
  template <class F>
  auto withEngine(F&& f) {
    return core_.withEngine(std::forward<F>(f));
  }

  // A memory bank (index 0 to 15; Sorn II and Qor reach the `current`
  // one); throws std::out_of_range for another index.
  void setBank(int index, Bank bank);
  Bank bank(int index);
  bool capturing();

  CommandLog& log() { return core_.log(); }
  bool streaming();
  std::int64_t framesSent();
  // Peers accepted (TCP) or times the port was opened (COM) since start.
  int connections() const { return connections_.load(); }
  // A TCP peer is being served (always true while a COM port is open).
  bool peerConnected() const { return peer_.load(); }

 private:
  void launch(std::function<void()> body);

  SimCore core_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::atomic<bool> peer_{false};
  std::thread thread_;  // the transport loop; joined by stop()
};

}  // namespace pel::sim
