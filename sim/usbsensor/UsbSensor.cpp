#include "sim/usbsensor/UsbSensor.h"

#include <chrono>
#include <charconv>
#include <cstdio>

namespace pelsim::usbsensor {
namespace {

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Real(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 10);
  return std::string(buf, r.ptr);
}

bool Integer(const std::string& s, int& v) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

UsbSensor::UsbSensor(SensorProfile profile, Clock clock)
    : profile_(std::move(profile)),
      clock_(clock ? std::move(clock) : Clock(SteadySeconds)),
      identifier_(profile_.identifier),
      sensorId_(profile_.sensorId),
      range_(profile_.range) {}

double UsbSensor::Now() const { return clock_(); }

bool UsbSensor::SilentLocked(double now) const {
  return profile_.silentAfter >= 0 && startedAt_ >= 0 && now - startedAt_ >= profile_.silentAfter;
}

double UsbSensor::ReadingLocked(int n) const { return profile_.offset + profile_.slope * (n * (intervalMs_ / 1000.0)); }

double UsbSensor::Reading(int n) const {
  std::lock_guard lock(m_);
  return ReadingLocked(n);
}

void UsbSensor::Receive(std::string_view transfer) {
  const double now = Now();
  std::lock_guard lock(m_);
  auto parsed = ParsePacket(transfer);
  if (!parsed.packet) {
    log_.push_back({{}, parsed.refusal});
    return;
  }
  log_.push_back({*parsed.packet, Refusal::None});
  if (SilentLocked(now)) return;
  const Packet& p = *parsed.packet;
  if (p.command == "2000") {
    streaming_ = p.code == "0001";
    if (streaming_) {
      startedAt_ = now;
      nextSample_ = 0;
    }
    return;
  }
  AnswerLocked(p);
}

void UsbSensor::AnswerLocked(const Packet& p) {
  const std::string key = p.command + "/" + p.code;
  const auto reply = [&](const char* type, std::string data) {
    replies_.push_back(BuildPacket({p.command, p.code, type, std::move(data)}));
  };
  char id[16];
  if (key == "1003/0004") {
    reply("S", identifier_);
  } else if (key == "1003/0003") {
    identifier_ = p.data;
  } else if (key == "1003/0002") {
    std::snprintf(id, sizeof id, "%04d", sensorId_);
    reply("S", id);
  } else if (key == "1003/0001") {
    if (!Integer(p.data, sensorId_)) sensorId_ = 0;
  } else if (key == "1006/0002") {
    reply("S", "n");  // not the two-way variant of sensor 14
  } else if (key == "1008/0020") {
    reply("D", std::to_string(range_));
  } else if (key == "1008/0019") {
    int r = 0;
    if (Integer(p.data, r)) range_ = r;
  } else if (key == "2002/0001") {
    int ms = 0;
    if (Integer(p.data, ms) && ms > 0) intervalMs_ = ms;
  } else if (key == "3000/0002") {
    const double t = streaming_ ? Now() - startedAt_ : 0.0;
    reply("F", Real(profile_.offset + profile_.slope * t));
  } else if (p.command == "1008" || p.command == "9998") {
    stored_[key] = p.data;
  }
}

std::optional<std::string> UsbSensor::Send() {
  const double now = Now();
  std::lock_guard lock(m_);
  if (SilentLocked(now)) return std::nullopt;
  if (!replies_.empty()) {
    std::string r = std::move(replies_.front());
    replies_.erase(replies_.begin());
    return r;
  }
  if (!streaming_ || now < startedAt_ + nextSample_ * (intervalMs_ / 1000.0)) return std::nullopt;
  const int n = nextSample_++;
  return BuildPacket({"3000", "0002", "F", Real(ReadingLocked(n))});
}

std::optional<double> UsbSensor::NextDue() {
  const double now = Now();
  std::lock_guard lock(m_);
  if (SilentLocked(now) || !streaming_) return std::nullopt;
  if (!replies_.empty()) return 0.0;
  const double due = startedAt_ + nextSample_ * (intervalMs_ / 1000.0) - now;
  return due > 0 ? due : 0.0;
}

bool UsbSensor::Present() {
  const double now = Now();
  std::lock_guard lock(m_);
  return !(profile_.unplugAfter >= 0 && startedAt_ >= 0 && now - startedAt_ >= profile_.unplugAfter);
}

std::vector<Received> UsbSensor::Log() const {
  std::lock_guard lock(m_);
  return log_;
}

std::string UsbSensor::LogText() const {
  std::lock_guard lock(m_);
  std::string out;
  for (const auto& r : log_) {
    if (r.refusal != Refusal::None)
      out += "refused";
    else
      out += r.packet.command + " " + r.packet.code + " " + r.packet.type + " " + r.packet.data;
    out += '\n';
  }
  return out;
}

std::string UsbSensor::Identifier() const {
  std::lock_guard lock(m_);
  return identifier_;
}
int UsbSensor::Range() const {
  std::lock_guard lock(m_);
  return range_;
}
bool UsbSensor::Streaming() const {
  std::lock_guard lock(m_);
  return streaming_;
}
int UsbSensor::IntervalMs() const {
  std::lock_guard lock(m_);
  return intervalMs_;
}
std::map<std::string, std::string> UsbSensor::Stored() const {
  std::lock_guard lock(m_);
  return stored_;
}

}  // namespace pelsim::usbsensor
