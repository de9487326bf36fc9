#pragma once
// The sensors' framed packets as a sensor sees them: 0x02, command and code
// (4 digits each), length of type and data (4 digits), type letter, data,
// checksum (3 digits: byte sum from the command to the end of the data, mod
// 256), 0x03. Written here from the protocol, apart from the link's own
// writer, so the two check each other.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelsim::usbsensor {

struct Packet {
  std::string command, code, type, data;  // type: "" or one letter
  bool operator==(const Packet&) const = default;
};

// Why a packet was refused (a sensor answers none of these).
enum class Refusal { None, Frame, Length, Checksum, Digits };

struct Parsed {
  std::optional<Packet> packet;
  Refusal refusal = Refusal::None;
};

// One whole packet (one bulk transfer).
Parsed ParsePacket(std::string_view bytes);

std::string BuildPacket(const Packet& p);

}  // namespace pelsim::usbsensor
