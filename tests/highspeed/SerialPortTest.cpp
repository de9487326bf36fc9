// CSerialPort over a COM pty pair: the program's side on COM11, the simulated
// interface on COM12.
#include "highspeed/SerialPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "sim/quillon/SimPort.h"

namespace quillon {
namespace {

// Collects n bytes from the ring, polling as the parse thread does.
std::string Collect(CSerialPort& port, std::size_t n, int maxMs = 5000) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
  while (got.size() < n && std::chrono::steady_clock::now() < end) {
    if (port.HasData())
      got.push_back(static_cast<char>(port.GetByte()));
    else
      Sleep(1);
  }
  return got;
}

// A message box of this process with the program's caption.
BOOL CALLBACK FindOwnMessageBox(HWND w, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char title[64] = {};
  GetWindowTextA(w, title, sizeof title);
  if (pid == GetCurrentProcessId() && std::string(title) == "Pelmora Experiment") {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}

std::string Pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + i / 256) & 0xFF);
  return s;
}

TEST(SerialPort, RoundTripWithTheSimulatedInterface) {
  sim::SimPort sim;
  ASSERT_TRUE(sim.Start("\\\\.\\COM12"));
  CSerialPort port;
  ASSERT_EQ(port.Open("COM11", 115200), 1);
  EXPECT_TRUE(port.Running());
  EXPECT_EQ(port.PortName(), "\\\\.\\COM11");

  ASSERT_TRUE(port.Write(std::string("S{10,3}")));
  EXPECT_EQ(Collect(port, 20), "{PELMORA HS A1.00}\r\n");

  // A burst above the ring's size arrives whole while a consumer keeps up.
  const std::string burst = Pattern(10000);
  ASSERT_TRUE(sim.SendRaw(burst));
  const std::string got = Collect(port, burst.size());
  EXPECT_EQ(got.size(), burst.size());
  EXPECT_TRUE(got == burst);

  // Without a consumer the ring keeps its first 4095 bytes and drops the rest.
  ASSERT_TRUE(sim.SendRaw(Pattern(5000)));
  for (int i = 0; i < 500 && port.Available() < 4095; ++i) Sleep(5);
  Sleep(100);
  EXPECT_EQ(port.Available(), 4095);
  EXPECT_EQ(Collect(port, 4095), Pattern(4095));

  // Many writes from two threads all go out, each whole.
  std::thread other([&] {
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(port.Write(std::string("S{80,10}")));
  });
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(port.Write(std::string("S{10,3}")));
  other.join();
  for (int i = 0; i < 500; ++i) {
    std::size_t n = 0;
    sim.With([&](sim::QuillonSim& s) { n = s.Commands().size(); });
    if (n >= 101) break;
    Sleep(5);
  }
  sim.With([](sim::QuillonSim& s) {
    ASSERT_EQ(s.Commands().size(), 101u);
    for (const auto& c : s.Commands()) EXPECT_TRUE(c == "S{10,3}" || c == "S{80,10}") << c;
    EXPECT_EQ(s.Rejected(), std::vector<std::string>{});
  });

  // Close ends the reader blocked in its event wait; the ring keeps its bytes.
  port.PushByte('x');
  EXPECT_EQ(port.Close(), 1);
  EXPECT_FALSE(port.Running());
  EXPECT_FALSE(port.IsOpen());
  EXPECT_TRUE(port.HasData());
  EXPECT_EQ(port.Close(), 0) << "a second Close is harmless";
  sim.Stop();
}

TEST(SerialPort, ClosingAPortThatNeverOpenedIsSafe) {
  CSerialPort never;
  EXPECT_EQ(never.Close(), 0);
  EXPECT_FALSE(never.Write("S{10,3}", 7)) << "a write on a closed port reports failure";
  CSerialPort failed;
  // A port that does not exist: the failed open shows its fixed message, which a
  // watcher dismisses (only this process's box: other tests may show theirs).
  std::atomic<bool> opened{false};
  std::thread dismiss([&] {
    while (!opened) {
      HWND box = nullptr;
      EnumWindows(FindOwnMessageBox, reinterpret_cast<LPARAM>(&box));
      if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
      Sleep(10);
    }
  });
  EXPECT_EQ(failed.OpenPort(97, 115200), 0);
  opened = true;
  dismiss.join();
  EXPECT_FALSE(failed.IsOpen());
  EXPECT_EQ(failed.Close(), 0);
  EXPECT_EQ(failed.Close(), 0);
}

}  // namespace
}  // namespace quillon
