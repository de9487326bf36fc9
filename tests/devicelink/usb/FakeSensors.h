#pragma once
// Simulated USB sensors behind a bus: each answers the packets the link sends
// (its identifier, sensor ID, range, a reading) with one reply per read, and
// logs what it was sent.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "devicelink/usb/UsbPacket.h"

namespace fakeusb {

struct Sent {
  std::string command, code, type, data;
  bool operator==(const Sent&) const = default;
};

inline std::vector<std::uint8_t> Reply(const std::string& command, const std::string& code, const std::string& type,
                                       const std::string& data) {
  const std::string p = pel::usb::BuildUsbPacket(command, code, type, data);
  return {p.begin(), p.end()};
}

// A "B" reply carrying 24-bit numbers (0 ends the series).
inline std::vector<std::uint8_t> SeriesReply(const std::vector<std::uint32_t>& numbers) {
  std::string data;
  for (auto n : numbers) {
    data += static_cast<char>((n >> 16) & 0xff);
    data += static_cast<char>((n >> 8) & 0xff);
    data += static_cast<char>(n & 0xff);
  }
  return Reply("3000", "0002", "B", data);
}

struct Sensor {
  std::string identifier = "1234567";
  std::string sensorId = "S012";  // answer to the ID request
  std::string query = "x";         // answer to the ID-14 query
  std::string range = "0";
  double reading = 0.0;
  std::vector<Sent> sent;
  std::deque<std::vector<std::uint8_t>> out;  // one reply per read

  void Take(const std::string& packet) {
    if (packet.size() < 17) return;
    Sent s{packet.substr(1, 4), packet.substr(5, 4), {}, {}};
    const int len = std::stoi(packet.substr(9, 4));
    if (len > 0) {
      s.type = packet.substr(13, 1);
      s.data = packet.substr(14, static_cast<std::size_t>(len - 1));
    }
    sent.push_back(s);
    const std::string key = s.command + "/" + s.code;
    if (key == "1003/0004") out.push_back(Reply("1003", "0004", "S", identifier));
    if (key == "1003/0003") identifier = s.data;
    if (key == "1003/0002") out.push_back(Reply("1003", "0002", "S", sensorId));
    if (key == "1006/0002") out.push_back(Reply("1006", "0002", "S", query));
    if (key == "1008/0020") out.push_back(Reply("1008", "0020", "D", range));
    if (key == "3000/0002") out.push_back(Reply("3000", "0002", "F", pel::usb::FormatUsbReal(reading)));
  }
  void Push(double v) { out.push_back(Reply("3000", "0002", "F", pel::usb::FormatUsbReal(v))); }
  std::size_t Give(std::uint8_t* buffer, std::size_t max) {
    if (out.empty()) return 0;
    auto bytes = std::move(out.front());
    out.pop_front();
    const std::size_t n = std::min(max, bytes.size());
    std::copy(bytes.begin(), bytes.begin() + static_cast<long>(n), buffer);
    return n;
  }
  std::vector<std::string> Keys() const {
    std::vector<std::string> k;
    for (const auto& s : sent) k.push_back(s.command + "/" + s.code + (s.type.empty() ? "" : "/" + s.type + "/" + s.data));
    return k;
  }
};

}  // namespace fakeusb
