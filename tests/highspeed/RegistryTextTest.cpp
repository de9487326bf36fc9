// The text lookup over a registry fixture written below a profile of its own.
#include "highspeed/RegistryText.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace quillon {
namespace {

const char kRoot[] = "Software\\VB and VBA Program Settings\\PelmoraTextTest";

class RegistryTextTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }

  static void Put(const std::string& sub, const std::string& name, const std::string& value) {
    HKEY k = nullptr;
    const std::string path = std::string(kRoot) + "\\Quillon" + (sub.empty() ? "" : "\\" + sub);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
  }
  static std::string Full(const std::string& sub) { return std::string(kRoot) + "\\Quillon\\" + sub; }

  ui::Profile profile_{"VB and VBA Program Settings\\PelmoraTextTest", "Quillon"};
};

TEST_F(RegistryTextTest, LanguageFallbackTable) {
  Put("1033\\Message", "Quillon1", "english");
  Put("1042\\Message", "Quillon1", "korean");
  Put("1031\\Message", "Quillon1", "german");
  Put("1041", "Language", "");  // empty Language: 1033
  Put("1031", "Language", "Deutsch");  // set, no LCID: its own section
  Put("1036", "Language", "Francais");
  Put("1036", "LCID", "1042");  // set with LCID: that section
  Put("1040", "Language", "Italiano");  // set, texts missing: empty

  struct Case { unsigned lang; const char* want; };
  const Case cases[] = {{1041, "english"}, {2052, "english"}, {1031, "german"}, {1036, "korean"}, {1040, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(LocalizedText(profile_, c.lang, "Quillon1", TextSection::Message), c.want) << c.lang;

  Put("1033\\MainDialog", "DialogTitle", "title");
  Put("1033\\MainProcess", "ListTitle1", "no");
  EXPECT_EQ(LocalizedText(profile_, 1033, "DialogTitle", TextSection::MainDialog), "title");
  EXPECT_EQ(LocalizedText(profile_, 1033, "ListTitle1", TextSection::MainProcess), "no");
  EXPECT_EQ(LocalizedText(profile_, 1033, "DialogTitle", TextSection::Message), "");
}

TEST_F(RegistryTextTest, ReadRegStringBoundsAndTypes) {
  Put("Units", "u255", std::string(255, 'a'));
  Put("Units", "u256", std::string(256, 'b'));
  Put("Units", "short", "mV");
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Full("Units").c_str(), 0, KEY_WRITE, &k), ERROR_SUCCESS);
  const DWORD d = 42;
  RegSetValueExA(k, "dword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
  // Stored without its closing NUL: taken as the four bytes, never past them.
  RegSetValueExA(k, "nonul", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 4);
  RegCloseKey(k);

  EXPECT_EQ(ReadRegString(Full("Units"), "u255"), std::string(255, 'a'));
  EXPECT_EQ(ReadRegString(Full("Units"), "u256"), "");
  EXPECT_EQ(ReadRegString(Full("Units"), "short"), "mV");
  EXPECT_EQ(ReadRegString(Full("Units"), "dword"), "");
  EXPECT_EQ(ReadRegString(Full("Units"), "nonul"), "abcd");
  EXPECT_EQ(ReadRegString(Full("Units"), "missing"), "");
  EXPECT_EQ(ReadRegString(Full("Nowhere"), "short"), "");
}

}  // namespace
}  // namespace quillon
