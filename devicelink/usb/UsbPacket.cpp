#include "devicelink/usb/UsbPacket.h"

#include "devicelink/records/NumberText.h"

namespace pel::usb {

std::string PadDigits(long long value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

std::string BuildUsbPacket(std::string_view command, std::string_view code, std::string_view type,
                           std::string_view data) {
  std::string body;
  body.reserve(13 + 1 + data.size());
  body.append(command);
  body.append(code);
  body.append(PadDigits(static_cast<long long>(type.size() + data.size()), 4));
  if (!type.empty()) body.push_back(type.front());
  body.append(data);
  unsigned sum = 0;
  for (char c : body) sum += static_cast<unsigned char>(c);
  std::string packet(1, kStartByte);
  packet += body;
  packet += PadDigits(sum % 256, 3);
  packet.push_back(kEndByte);
  return packet;
}

std::string FormatUsbReal(double value) { return records::FormatGeneral(value); }

}  // namespace pel::usb
