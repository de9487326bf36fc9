#include "devicelink/usb/UsbReply.h"

#include <string_view>

#include "devicelink/records/NumberText.h"

namespace pel::usb {
namespace {

bool fourDigits(const std::uint8_t* p, int& out) {
  int v = 0;
  for (int i = 0; i < 4; ++i) {
    if (p[i] < '0' || p[i] > '9') return false;
    v = v * 10 + (p[i] - '0');
  }
  out = v;
  return true;
}

}  // namespace

UsbReply ParseUsbReply(const std::uint8_t* bytes, std::size_t size) {
  UsbReply r;
  if (size < 13) return r;
  if (!fourDigits(bytes + 1, r.command) || !fourDigits(bytes + 5, r.code) || !fourDigits(bytes + 9, r.length))
    return r;
  if (r.length == 0) {
    r.valid = true;
    return r;
  }
  // Type, data, checksum and end byte must all be there: a length pointing
  // past the bytes received is no reply.
  if (13 + static_cast<std::size_t>(r.length) + 4 > size) return r;
  r.type = static_cast<char>(bytes[13]);
  const std::string data(reinterpret_cast<const char*>(bytes + 14), static_cast<std::size_t>(r.length - 1));
  switch (r.type) {
    case 'D':
    case 'd': {
      int v = 0;
      if (!records::ParseInteger(data, v)) return r;
      r.value = v;
      break;
    }
    case 'F':
    case 'f': {
      double v = 0.0;
      if (!records::ParseNumber(data, v)) return r;
      r.value = v;
      break;
    }
    case 'B':
    case 'b':
      // Whole 3-byte numbers inside the data only.
      for (std::size_t at = 0; at + 3 <= data.size() && r.series.size() < kMaxSeriesValues; at += 3) {
        const auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + i])); };
        const std::uint32_t n = (b(0) << 16) | (b(1) << 8) | b(2);
        if (n == 0) break;
        r.series.push_back(n / 1000000.0);
      }
      if (!r.series.empty()) r.value = r.series.front();
      break;
    default:
      break;
  }
  r.valid = true;
  r.hasText = true;
  if (r.type != 'B' && r.type != 'b') r.text = data;
  return r;
}

}  // namespace pel::usb
