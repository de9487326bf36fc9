// Tessaly.exe end to end with two simulated USB sensors: the program runs
// from bin/usbsim, beside the Vantiro.dll whose driver is simulated and the
// stand-in libusb0.dll, finds the sensors (through Vantiro, or libusb under
// Wow64), runs and hands the table back. The helpers are the end-to-end
// test's own; its tests are left out of this program (GTEST_FILTER).
#include "TessalyEndToEndTest.cpp"

namespace {

class TessalyUsbEndToEnd : public TessalyEndToEnd {
 protected:
  void SetUp() override {
    TessalyEndToEnd::SetUp();
    // A ramps from 1.5 by 2 per second, B holds -0.25.
    const char* sensors = "id=2000001,sensor=21,offset=1.5,slope=2;id=2000002,sensor=22,offset=-0.25,slope=0";
    const bool wow64 = sizeof(void*) == 4;
    SetEnvironmentVariableA(wow64 ? "PELMORA_USB0_DEVICES" : "PELMORA_VANTIRO_DEVICES", sensors);
    SetEnvironmentVariableA(wow64 ? "PELMORA_VANTIRO_DEVICES" : "PELMORA_USB0_DEVICES", "0");
    pel::reg::deleteTree(Root::CurrentUser, "Software\\Pelmora\\USBSensor\\Enum");
    pel::reg::writeString(Root::CurrentUser, kResolution, "Resolution21_1", "0.01");
    pel::reg::writeString(Root::CurrentUser, kResolution, "Resolution22_1", "0.05");
  }
  void TearDown() override {
    pel::reg::deleteTree(Root::CurrentUser, kResolution);
    pel::reg::deleteTree(Root::CurrentUser, "Software\\Pelmora\\USBSensor\\Enum");
    TessalyEndToEnd::TearDown();
  }
  const std::string kResolution = "Software\\VB and VBA Program Settings\\Pelmora\\SensorResolution";
};

TEST_F(TessalyUsbEndToEnd, TwoSensorsRunAndHandTheTableBack) {
  Config("EL[1]ST[0.1]A[21;N;1;0]B[22;kPa;1;0]");
  Studio studio;
  ASSERT_TRUE(studio.Start());
  ASSERT_TRUE(WaitFor([&] { return studio.Enabled(tessaly::ids::Button4); }, 90s)) << "no connected form";
  ASSERT_NO_FATAL_FAILURE(RunOnce(studio, 30s));
  ASSERT_NO_FATAL_FAILURE(End(studio));
  EXPECT_EQ(RunFlag(), "0");
  // Rows of time, A's ramp (reading k in record k), B's value and C's empty
  // field, as the table of a box run has.
  std::string want;
  for (int i = 0; i < 11; ++i) {
    char row[96];
    std::snprintf(row, sizeof row, "%d\t%g\t%g\t%g\t\t\r", i + 1, i / 10.0, 1.5 + 2 * ((i + 1) / 10.0), -0.25);
    want += row;
  }
  EXPECT_EQ(ClipboardText(), want);
}

}  // namespace
