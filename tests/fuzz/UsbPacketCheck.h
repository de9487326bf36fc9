#pragma once
// A packet as the link writes it to a USB sensor: it reads back as a reply
// with the same fields, and its number reads as one ("F" data as a number,
// "D" data as a 32-bit integer).
#include <cstdint>
#include <string>

#include "devicelink/records/NumberText.h"
#include "devicelink/usb/UsbPacket.h"
#include "devicelink/usb/UsbReply.h"
#include "tests/fuzz/FuzzInput.h"

namespace pel::fuzz {

inline void CheckUsbPacket(const std::string& packet) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(packet.data());
  PEL_FUZZ_CHECK(packet.size() >= 17 && packet.front() == usb::kStartByte && packet.back() == usb::kEndByte, packet);
  const usb::UsbReply r = usb::ParseUsbReply(b, packet.size());
  PEL_FUZZ_CHECK(r.valid, packet);
  PEL_FUZZ_CHECK(13 + static_cast<std::size_t>(r.length) + 4 == packet.size(), packet);
  if (r.length == 0) return;
  const std::string data = packet.substr(14, static_cast<std::size_t>(r.length - 1));
  if (r.type == 'F') {
    double v = 0;
    PEL_FUZZ_CHECK(records::ParseNumber(data, v), packet);
  } else if (r.type == 'D') {
    int v = 0;
    PEL_FUZZ_CHECK(records::ParseInteger(data, v), packet);
  }
}

}  // namespace pel::fuzz
