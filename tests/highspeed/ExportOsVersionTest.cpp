#include "highspeed/export/ExportOsVersion.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(ChooseValue2, ByWindowsVersion) {
  struct Case {
    const char* what;
    OsVersion v;
    ProductTypeRead productType;
    bool value2;
    bool asksProductType;
  } cases[] = {
      {"98 first edition", {true, 1, 4, 10, " "}, ProductTypeRead::Ok, true, false},
      {"98 first edition, empty text", {true, 1, 4, 10, ""}, ProductTypeRead::Ok, true, false},
      {"98 second edition", {true, 1, 4, 10, " A "}, ProductTypeRead::Ok, false, false},
      {"95", {true, 1, 4, 0, ""}, ProductTypeRead::Ok, false, false},
      {"Me", {true, 1, 4, 90, ""}, ProductTypeRead::Ok, false, false},
      {"2000", {true, 2, 5, 0, ""}, ProductTypeRead::Ok, true, false},
      {"XP", {true, 2, 5, 1, "Service Pack 3"}, ProductTypeRead::Ok, false, false},
      {"2003", {true, 2, 5, 2, ""}, ProductTypeRead::Ok, false, false},
      {"10", {true, 2, 10, 0, ""}, ProductTypeRead::Ok, false, false},
      {"NT 4 extended", {true, 2, 4, 0, "Service Pack 6"}, ProductTypeRead::Failed, false, false},
      {"NT 4 basic, type read", {false, 2, 4, 0, "Service Pack 6"}, ProductTypeRead::Ok, false, true},
      {"NT 4 basic, type unreadable", {false, 2, 4, 0, ""}, ProductTypeRead::Failed, true, true},
      {"Win32s", {true, 0, 1, 30, ""}, ProductTypeRead::Ok, false, false},
  };
  for (const Case& c : cases) {
    bool asked = false;
    const bool value2 = ChooseValue2(c.v, [&] {
      asked = true;
      return c.productType;
    });
    EXPECT_EQ(value2, c.value2) << c.what;
    EXPECT_EQ(asked, c.asksProductType) << c.what;
  }
}

}  // namespace
}  // namespace quillon
