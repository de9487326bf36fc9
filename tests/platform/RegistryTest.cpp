#include "platform/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using pel::reg::Root;

const char* const kBase = "Software\\PelmoraTests\\RegistryHelpers";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { pel::reg::deleteTree(Root::CurrentUser, kBase); }
  void TearDown() override { pel::reg::deleteTree(Root::CurrentUser, kBase); }
};

bool contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

TEST_F(RegistryTest, ReadsBackWhatItWroteWithOrWithoutLeadingBackslash) {
  const std::string plain = std::string(kBase) + "\\Message";
  const std::string slashed = "\\" + plain + "\\";
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, slashed, "LCID", "1033"));
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, plain, "LCID"), "1033");
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, slashed, "LCID"), "1033");
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, plain, "Text", "a,b 1.5"));
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, "\\" + plain, "Text"), "a,b 1.5");
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, plain, "Empty", ""));
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, plain, "Empty"), "");
}

TEST_F(RegistryTest, MissingKeyOrValueReadsEmpty) {
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, std::string(kBase) + "\\Nowhere", "LCID"), "");
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, kBase, "There", "x"));
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, kBase, "NotThere"), "");
  EXPECT_TRUE(pel::reg::valueNames(Root::CurrentUser, std::string(kBase) + "\\Nowhere").empty());
  EXPECT_TRUE(pel::reg::subkeyNames(Root::CurrentUser, std::string(kBase) + "\\Nowhere").empty());
  EXPECT_FALSE(pel::reg::keyExists(Root::CurrentUser, std::string(kBase) + "\\Nowhere"));
}

TEST_F(RegistryTest, NumberReadsOnlyADword) {
  const std::string key = std::string(kBase) + "\\Message";
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, key, "Text", "1042"));
  const DWORD lcid = 1042, big = 0xFFFFFFFFu;
  const unsigned long long wide = 7;
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "LCID", REG_DWORD, &lcid, sizeof lcid), ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Big", REG_DWORD, &big, sizeof big), ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Wide", REG_QWORD, &wide, sizeof wide), ERROR_SUCCESS);
  EXPECT_EQ(pel::reg::readNumber(Root::CurrentUser, "\\" + key, "LCID"), 1042u);
  EXPECT_EQ(pel::reg::readNumber(Root::CurrentUser, key, "Big"), 0xFFFFFFFFu);
  // A DWORD is not a text, and a text, another type or a missing value is no number.
  EXPECT_EQ(pel::reg::readString(Root::CurrentUser, key, "LCID"), "");
  for (const char* name : {"Text", "Wide", "Missing"})
    EXPECT_FALSE(pel::reg::readNumber(Root::CurrentUser, key, name).has_value()) << name;
  EXPECT_FALSE(pel::reg::readNumber(Root::CurrentUser, std::string(kBase) + "\\Nowhere", "LCID").has_value());
}

TEST_F(RegistryTest, EnumeratesValuesAndSubkeys) {
  const std::string b(kBase);
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, b, "0", "id0"));
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, b, "1", "id1"));
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, b + "\\SubA", "v", "1"));
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, b + "\\SubB\\Deep", "v", "2"));
  const auto values = pel::reg::valueNames(Root::CurrentUser, "\\" + b);
  EXPECT_EQ(values.size(), 2u);
  EXPECT_TRUE(contains(values, "0"));
  EXPECT_TRUE(contains(values, "1"));
  const auto keys = pel::reg::subkeyNames(Root::CurrentUser, b);
  EXPECT_EQ(keys.size(), 2u);
  EXPECT_TRUE(contains(keys, "SubA"));
  EXPECT_TRUE(contains(keys, "SubB"));
}

TEST_F(RegistryTest, LocalMachineValuesToo) {
  // The serial port list lives under the local machine root.
  const std::string key = "\\Software\\PelmoraTests\\LocalMachine";
  ASSERT_TRUE(pel::reg::writeString(Root::LocalMachine, key, "PortName", "COM42"));
  EXPECT_EQ(pel::reg::readString(Root::LocalMachine, key, "PortName"), "COM42");
  EXPECT_TRUE(pel::reg::deleteTree(Root::LocalMachine, key));
  EXPECT_EQ(pel::reg::readString(Root::LocalMachine, key, "PortName"), "");
}

TEST(RegistryPath, LeadingAndTrailingBackslashesAreDropped) {
  EXPECT_EQ(pel::reg::normalisePath("\\Software\\X\\"), "Software\\X");
  EXPECT_EQ(pel::reg::normalisePath("Software\\X"), "Software\\X");
  EXPECT_EQ(pel::reg::normalisePath("\\"), "");
}

}  // namespace
