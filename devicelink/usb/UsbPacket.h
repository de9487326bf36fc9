#pragma once
// The USB sensors' framed packets: 0x02, command (4 digits), code (4 digits),
// length of type and data (4 digits), type letter, data, checksum (3 digits),
// 0x03. All ASCII but the two frame bytes.
#include <string>
#include <string_view>

namespace pel::usb {

inline constexpr char kStartByte = 0x02;
inline constexpr char kEndByte = 0x03;

// One packet's fields as the link sends it.
struct UsbCommand {
  std::string command;
  std::string code;
  std::string type;  // "" for none; only its first letter goes out, all of it is counted
  std::string data;
  bool operator==(const UsbCommand&) const = default;
};

// The length counts the whole type text and the data; the checksum is the
// byte sum of everything between the start byte and the checksum, mod 256.
// Numbers wider than their field are written in full, never cut.
std::string BuildUsbPacket(std::string_view command, std::string_view code, std::string_view type,
                           std::string_view data);
inline std::string BuildUsbPacket(const UsbCommand& c) { return BuildUsbPacket(c.command, c.code, c.type, c.data); }

// Decimal digits of value, zero-padded on the left to width.
std::string PadDigits(long long value, int width);

// A real as the sensors take it: general format, up to 15 significant
// digits (17 where 15 would round past the largest double), '.' as
// separator whatever the locale.
std::string FormatUsbReal(double value);

}  // namespace pel::usb
