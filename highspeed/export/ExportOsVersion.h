#pragma once
// The choice between Range.Value2 and Range.Value by Windows version.

#include <string>

namespace quillon {

struct OsVersion {
  bool extended = false;  // the extended version structure was filled
  unsigned platformId = 0;  // 0 Win32s, 1 Windows 9x, 2 NT
  unsigned major = 0;
  unsigned minor = 0;
  std::string servicePack;  // the service-pack text
};

enum class ProductTypeRead { Ok, Failed };

// Value2 on Windows 98 first edition (9x 4.10 whose service-pack text has no
// "A" as its second character) and on Windows 2000 (NT 5.0); on NT 4.0 and
// earlier without the extended structure, a failed read of the product type
// (readProductType is asked only then) also chooses Value2.
template <class ReadProductType>
bool ChooseValue2(const OsVersion& v, ReadProductType readProductType) {
  constexpr unsigned kWindows = 1, kNt = 2;
  if (v.platformId == kNt && v.major <= 4 && !v.extended && readProductType() == ProductTypeRead::Failed)
    return true;
  if (v.platformId == kWindows && v.major == 4 && v.minor == 10)
    return !(v.servicePack.size() >= 2 && v.servicePack[1] == 'A');
  return v.platformId == kNt && v.major == 5 && v.minor == 0;
}

}  // namespace quillon
