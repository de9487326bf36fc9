// A real script host (cscript with VBScript) creates PelmoraX by its ProgID
// and drives it against the simulated interface on TCP 127.0.0.1:4000; the
// script prints what failed and ends with exit code 1 then.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "sim/interface/InterfaceSim.h"
#include "tests/activex/ComClient.h"

namespace {
using namespace pel::test;

struct Output {
  DWORD exitCode = 0xFFFFFFFF;
  std::string text;
  bool finished = false;
};

// Runs command and collects its output; gives up after timeoutMs.
Output run(std::wstring command, DWORD timeoutMs) {
  Output out;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return out;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return out;
  }
  // The reader ends when the script, the pipe's last writer, has gone.
  std::string collected;
  std::thread reader([&] {
    char buf[512];
    DWORD n = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) collected.append(buf, n);
  });
  out.finished = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
  if (!out.finished) TerminateProcess(pi.hProcess, 2);
  GetExitCodeProcess(pi.hProcess, &out.exitCode);
  reader.join();
  CloseHandle(readEnd);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  out.text = collected;
  return out;
}

TEST(Script, VbscriptCreatesAndDrivesTheControl) {
  Apartment apartment;
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
  pel::sim::InterfaceSim sim(pel::sim::Model::SornII);
  auto st = sim.settings();
  st.sensorIds = {12, 0, 0, 0, 0, 0, 0, 0};
  sim.setSettings(st);
  sim.startTcp(4000);
  const std::wstring script = ProgramFolder() + L"PelmoraXScript.vbs";
  const Output out = run(L"cscript.exe //nologo \"" + script + L"\"", 90000);
  sim.stop();
  ASSERT_TRUE(out.finished) << out.text;
  EXPECT_EQ(out.exitCode, 0u) << out.text;
  EXPECT_NE(out.text.find("PelmoraX script checks passed"), std::string::npos) << out.text;
}

}  // namespace
