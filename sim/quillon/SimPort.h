#pragma once
// Runs the simulated interface on a COM port in its own thread.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "sim/quillon/QuillonSim.h"

namespace quillon::sim {

class SimPort {
 public:
  explicit SimPort(Model model = Model::Aster) : sim_(model) {}
  ~SimPort() { Stop(); }
  SimPort(const SimPort&) = delete;
  SimPort& operator=(const SimPort&) = delete;

  // Opens the port (e.g. "\\\\.\\COM12") and starts serving; false when it does not open.
  bool Start(const std::string& device);
  void Stop();
  // Runs f on the simulator under its lock (set-up, faults, inspection).
  void With(const std::function<void(QuillonSim&)>& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    f(sim_);
  }
  // Deliver replies one byte per write.
  void SetByteWise(bool on) { byteWise_.store(on); }
  // Raw bytes sent from this end as they are.
  bool SendRaw(const std::string& bytes);

 private:
  void Serve();

  QuillonSim sim_;
  std::mutex mutex_;  // guards sim_
  HANDLE port_ = INVALID_HANDLE_VALUE;
  std::atomic<bool> run_{false};
  std::atomic<bool> byteWise_{false};
  std::thread thread_;
};

}  // namespace quillon::sim
