#pragma once
// One simulated USB sensor as it sits behind its bulk endpoints: every OUT
// transfer carries one packet, every IN transfer takes one reply or one
// streamed reading. It refuses a packet with a bad frame, length or checksum
// the way a sensor does (no reply), answers identification, range and
// one-shot reading requests, takes range and calibration packets, and while
// started streams readings at its sampling interval, reading n being
// offset + slope * (n x interval) so a run's records are known in advance.
// It logs every packet it received.
//
// Threads: any thread may call it; one lock guards its state.
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/usbsensor/SensorPacket.h"
#include "sim/usbsensor/SensorProfile.h"

namespace pelsim::usbsensor {

struct Received {
  Packet packet;                        // empty when refused
  Refusal refusal = Refusal::None;
  bool operator==(const Received&) const = default;
};

class UsbSensor {
 public:
  using Clock = std::function<double()>;  // seconds, never going back

  explicit UsbSensor(SensorProfile profile, Clock clock = {});

  void Receive(std::string_view transfer);
  // The next IN transfer, when one is ready now.
  std::optional<std::string> Send();
  // Seconds until the next streamed reading is due; nothing when none will be.
  std::optional<double> NextDue();
  // False once it has been unplugged.
  bool Present();

  std::vector<Received> Log() const;
  // "command code type data" per received packet, one per line; a refused one
  // is "refused".
  std::string LogText() const;

  std::string Identifier() const;
  int Range() const;
  bool Streaming() const;
  int IntervalMs() const;
  // Values the calibration packets left, by "command/code".
  std::map<std::string, std::string> Stored() const;
  double Reading(int n) const;  // the value of streamed reading n

 private:
  double Now() const;
  bool SilentLocked(double now) const;
  double ReadingLocked(int n) const;
  void AnswerLocked(const Packet& p);

  const SensorProfile profile_;
  const Clock clock_;
  mutable std::mutex m_;
  std::string identifier_;
  int sensorId_;
  int range_;
  int intervalMs_ = 1000;
  bool streaming_ = false;
  double startedAt_ = -1.0;  // of the last start; below 0 before any
  int nextSample_ = 0;
  std::vector<std::string> replies_;  // in order, front first
  std::vector<Received> log_;
  std::map<std::string, std::string> stored_;
};

}  // namespace pelsim::usbsensor
