#include "platform/SerialPort.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/HandOver.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"

namespace {
using pel::reg::Root;

const char* const kList = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// COM5 <-> COM6 is a pty pair; the system lists only COM1, so list ours.
class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pel::HandOver::instance().setMainThread();
    pel::reg::writeString(Root::LocalMachine, kList, "PelmoraTest5", "COM5 ");
    pel::reg::writeString(Root::LocalMachine, kList, "PelmoraTest6", "COM6");
  }
  void TearDown() override {
    // Other values of the list stay as they were.
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, "PelmoraTest5");
      RegDeleteValueA(k, "PelmoraTest6");
      RegCloseKey(k);
    }
  }
};

// Runs hand-overs and messages until the text arrived or the retries ran out.
void serviceUntil(const std::string& got, std::size_t want) {
  for (int i = 0; i < 200 && got.size() < want; ++i) {
    pel::HandOver::instance().runPending();
    pel::pumpMessages();
    Sleep(5);
  }
}

TEST_F(SerialPortTest, ListsPortsTrimmedAndNulSeparated) {
  const auto names = pel::SerialPort::portNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "COM5"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "COM6"), names.end());
  const std::string list = pel::SerialPort::portList();
  EXPECT_NE(list.find(std::string("COM5") + '\0'), std::string::npos);
  EXPECT_NE(list.find(std::string("COM6") + '\0'), std::string::npos);
}

TEST_F(SerialPortTest, RoundTripWithReceiveEventOnTheMainThread) {
  pel::SerialPort a, b;
  a.setPort("COM5");
  b.setPort("COM6");
  a.open();
  b.open();
  ASSERT_TRUE(a.isOpen());
  ASSERT_TRUE(b.isOpen());
  const DWORD main = GetCurrentThreadId();
  std::string got;
  bool allOnMain = true;
  b.setOnRxChar([&](std::size_t count) {
    allOnMain = allOnMain && GetCurrentThreadId() == main;
    EXPECT_GT(count, 0u);
    got += b.readStr(count);
  });
  a.writeStr("s{10,3}\r\n");
  serviceUntil(got, 9);
  EXPECT_EQ(got, "s{10,3}\r\n");
  EXPECT_TRUE(allOnMain);
  // Nothing waiting: a read returns at once, empty (the peer sends nothing more).
  EXPECT_EQ(b.readStr(64), "");

  // The other way, read as raw bytes, including a NUL and bytes above 127.
  std::string raw;
  a.setOnRxChar([&](std::size_t count) {
    char buf[64];
    raw.append(buf, a.read(buf, std::min<std::size_t>(count, sizeof buf)));
  });
  const std::string bytes("{\x00\x7f\x80\xff}", 6);
  b.writeStr(bytes);
  serviceUntil(raw, bytes.size());
  EXPECT_EQ(raw, bytes);

  a.close();
  EXPECT_FALSE(a.isOpen());
  EXPECT_THROW(a.writeStr("x"), pel::SerialError);
  EXPECT_EQ(a.readStr(10), "");
}

TEST_F(SerialPortTest, ClosingFromItsOwnReceiveEventAndReopening) {
  pel::SerialPort a, b;
  a.setPort("COM5");
  b.setPort("COM6");
  a.open();
  b.open();
  std::string got;
  b.setOnRxChar([&](std::size_t count) {
    got += b.readStr(count);
    b.close();  // the event thread is waiting for this very call
  });
  a.writeStr("{1}\r\n");
  serviceUntil(got, 1);
  EXPECT_FALSE(got.empty());
  EXPECT_FALSE(b.isOpen());
  b.setOnRxChar({});
  b.open();  // the closed session is finished first, so the port is free again
  EXPECT_TRUE(b.isOpen());
}

// A host that reconnects from inside the event, as a port scan does: the
// port closed there can be opened again at once, any number of opens and
// closes may follow in the same call, every session ends, and the port
// still works afterwards.
TEST_F(SerialPortTest, OpensAndClosesInsideItsOwnReceiveEvent) {
  pel::SerialPort a, b;
  a.setPort("COM5");
  b.setPort("COM6");
  a.open();
  b.open();
  int events = 0;
  std::vector<std::string> opened;
  b.setOnRxChar([&](std::size_t count) {
    b.readStr(count);
    if (++events > 1) return;
    a.close();  // frees COM5 for the scan
    b.close();
    for (const char* name : {"COM5", "COM6", "COM5"}) {
      b.setPort(name);
      try {
        b.open();
        opened.push_back(name);
      } catch (const pel::SerialError&) {
      }
      b.close();
    }
    b.setPort("COM6");
    b.open();
  });
  a.writeStr("{1}\r\n");
  std::string none;
  serviceUntil(none, 1);  // a while, with hand-overs serviced
  EXPECT_EQ(events, 1);
  EXPECT_EQ(opened, (std::vector<std::string>{"COM5", "COM6", "COM5"}));
  ASSERT_TRUE(b.isOpen());
  std::string got;
  b.setOnRxChar([&](std::size_t count) { got += b.readStr(count); });
  a.open();
  a.writeStr("{2}\r\n");
  serviceUntil(got, 5);
  EXPECT_EQ(got, "{2}\r\n");
}

TEST_F(SerialPortTest, OpeningAMissingPortThrows) {
  pel::SerialPort p;
  p.setPort("COM77");
  EXPECT_THROW(p.open(), pel::SerialError);
  EXPECT_FALSE(p.isOpen());
  pel::SerialPort none;
  EXPECT_THROW(none.open(), pel::SerialError);
}

}  // namespace
