#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The Windows trees' tests run under Wine; the 32-bit build runs under WoW64.
TEST(WineSmoke, RunsAsAWindowsProgramOfItsBitness) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  EXPECT_TRUE(GetVersionExA(&v));
  BOOL wow = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow));
  EXPECT_EQ(wow != FALSE, sizeof(void*) == 4);
}

}  // namespace
