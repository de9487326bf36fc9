#include "sim/usbsensor/SensorPacket.h"

#include <cstdio>

namespace pelsim::usbsensor {
namespace {

bool Digits(std::string_view s, int& value) {
  value = 0;
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

int Sum(std::string_view s) {
  int sum = 0;
  for (unsigned char c : s) sum += c;
  return sum % 256;
}

std::string Pad(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

}  // namespace

Parsed ParsePacket(std::string_view b) {
  Parsed out;
  if (b.size() < 17 || b.front() != 0x02 || b.back() != 0x03) {
    out.refusal = Refusal::Frame;
    return out;
  }
  int command = 0, code = 0, length = 0, sum = 0;
  if (!Digits(b.substr(1, 4), command) || !Digits(b.substr(5, 4), code)) {
    out.refusal = Refusal::Digits;
    return out;
  }
  if (!Digits(b.substr(9, 4), length) || b.size() != 17u + static_cast<unsigned>(length)) {
    out.refusal = Refusal::Length;
    return out;
  }
  const auto body = b.substr(1, 12 + static_cast<std::size_t>(length));
  if (!Digits(b.substr(13 + static_cast<std::size_t>(length), 3), sum) || sum != Sum(body)) {
    out.refusal = Refusal::Checksum;
    return out;
  }
  Packet p{std::string(b.substr(1, 4)), std::string(b.substr(5, 4)), {}, {}};
  if (length > 0) {
    p.type = std::string(b.substr(13, 1));
    p.data = std::string(b.substr(14, static_cast<std::size_t>(length - 1)));
  }
  out.packet = std::move(p);
  return out;
}

std::string BuildPacket(const Packet& p) {
  std::string body = p.command + p.code + Pad(static_cast<int>(p.type.size() + p.data.size()), 4) + p.type + p.data;
  return '\x02' + body + Pad(Sum(body), 3) + '\x03';
}

}  // namespace pelsim::usbsensor
