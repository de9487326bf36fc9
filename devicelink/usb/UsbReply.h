#pragma once
// Reading a reply packet of a USB sensor (the layout of UsbPacket.h). The
// checksum is not checked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pel::usb {

inline constexpr int kMaxSeriesValues = 16;

struct UsbReply {
  // False when command, code or length is not a number, the packet is
  // shorter than its length says, or its data does not convert: such a
  // reply changes nothing.
  bool valid = false;
  int command = 0;
  int code = 0;
  int length = 0;   // type letter and data
  char type = 0;    // 0 when length is 0
  bool hasText = false;  // length above 0: text is the position's new reply text
  std::string text;      // the data; empty for a series
  double value = 0.0;    // "D", "F", or the first value of a series
  std::vector<double> series;  // "B": the 24-bit numbers / 1e6, up to the first 0, at most 16
  bool IsReading() const { return valid && command == 3000; }
};

// The reply at the start of bytes[0, size).
UsbReply ParseUsbReply(const std::uint8_t* bytes, std::size_t size);

}  // namespace pel::usb
