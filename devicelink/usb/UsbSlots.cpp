#include "devicelink/usb/UsbSlots.h"

#include <algorithm>

#include "devicelink/usb/UsbPacket.h"

namespace pel::usb {

void MergeSlots(UsbSlotTable& slots, const std::vector<std::string>& ids) {
  const std::size_t n = std::min<std::size_t>(ids.size(), kSlots);
  const auto present = [&](const std::string& id) {
    return !id.empty() && std::find(ids.begin(), ids.begin() + static_cast<long>(n), id) != ids.begin() + static_cast<long>(n);
  };
  std::vector<UsbSlot> kept;
  for (const auto& s : slots) {
    if (!present(s.id)) continue;
    const bool repeated = std::any_of(kept.begin(), kept.end(), [&](const UsbSlot& k) { return k.id == s.id; });
    if (!repeated) kept.push_back(s);
  }
  UsbSlotTable out{};
  for (auto& s : out) s = {-1, {}};
  std::size_t m = 0;
  for (; m < kept.size(); ++m) out[m] = kept[m];
  for (std::size_t i = 0; i < n; ++i) {
    bool placed = false;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      if (out[k].id == ids[i] && !ids[i].empty()) {
        out[k].device = static_cast<int>(i);
        placed = true;
        break;
      }
    }
    if (!placed && m < kSlots) out[m++] = {static_cast<int>(i), ids[i]};
  }
  slots = out;
}

std::string NewIdentifier(int minutes, int seconds, int milliseconds, const std::vector<std::string>& taken) {
  long long v = (static_cast<long long>(minutes) * 100 + seconds) * 1000 + milliseconds;
  for (;;) {
    std::string id = PadDigits(v % 10000000, 7);
    if (std::find(taken.begin(), taken.end(), id) == taken.end()) return id;
    ++v;
  }
}

std::string TrimBlanks(const std::string& s) {
  const auto a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

}  // namespace pel::usb
