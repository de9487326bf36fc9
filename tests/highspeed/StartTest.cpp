// The real program: one copy at a time, and Exit when no interface was found.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/highspeed/ProgramDriver.h"

namespace quillon::test {
namespace {

const char kTexts[] = "Software\\VB and VBA Program Settings\\Pelmora\\Quillon\\1033";

TEST(ProgramStart, OneCopyAtATimeAndExitAfterAFailedOpen) {
  SetRegString(HKEY_CURRENT_USER, std::string(kTexts) + "\\Message", "Quillon1", "Quillon runs already");
  SetRegString(HKEY_CURRENT_USER, std::string(kTexts) + "\\MainDialog", "DialogTitle", "Quillon start test");
  SetLastSerialPort("COM29");  // nothing behind it: the open fails

  Program first;
  ASSERT_TRUE(first.Start());
  EXPECT_EQ(first.DismissMessage(), "COM port not opened");
  HWND dlg = first.WaitWindow("Quillon start test");
  ASSERT_NE(dlg, nullptr);
  for (int id : {1002, 1004, 1012, 1013}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, id))) << id;
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, 1007)));

  Program second;
  ASSERT_TRUE(second.Start());
  EXPECT_EQ(second.DismissMessage(), "Quillon runs already");
  DWORD code = 1;
  EXPECT_TRUE(second.WaitExit(10000, &code));
  EXPECT_TRUE(first.Running());

  // Enter and Esc do not end the dialog; Exit does, cleanly, with no port open.
  Click(dlg, IDOK);
  Click(dlg, IDCANCEL);
  Sleep(200);
  EXPECT_TRUE(first.Running());
  Click(dlg, 1007);
  code = 1;
  ASSERT_TRUE(first.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);

  Program third;
  ASSERT_TRUE(third.Start());
  EXPECT_EQ(third.DismissMessage(), "COM port not opened");
  HWND dlg3 = third.WaitWindow("Quillon start test");
  ASSERT_NE(dlg3, nullptr);
  Click(dlg3, 1007);
  EXPECT_TRUE(third.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
  SetLastSerialPort("");
}

}  // namespace
}  // namespace quillon::test
