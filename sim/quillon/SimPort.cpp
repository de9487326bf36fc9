#include "sim/quillon/SimPort.h"

namespace quillon::sim {

bool SimPort::Start(const std::string& device) {
  port_ = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (port_ == INVALID_HANDLE_VALUE) return false;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(port_, &dcb);
  dcb.BaudRate = 115200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  SetCommState(port_, &dcb);
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;
  t.ReadTotalTimeoutMultiplier = MAXDWORD;
  t.ReadTotalTimeoutConstant = 5;  // returns at the first byte, or after 5 ms
  t.WriteTotalTimeoutConstant = 5000;
  SetCommTimeouts(port_, &t);
  PurgeComm(port_, PURGE_RXCLEAR | PURGE_TXCLEAR);
  run_ = true;
  thread_ = std::thread(&SimPort::Serve, this);
  return true;
}

void SimPort::Stop() {
  run_ = false;
  if (thread_.joinable()) thread_.join();
  if (port_ != INVALID_HANDLE_VALUE) CloseHandle(port_);
  port_ = INVALID_HANDLE_VALUE;
}

bool SimPort::SendRaw(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(port_, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr)) return false;
    if (n == 0) return false;
    done += n;
  }
  return true;
}

void SimPort::Serve() {
  std::uint8_t buf[256];
  while (run_) {
    DWORD got = 0;
    if (!ReadFile(port_, buf, sizeof buf, &got, nullptr)) {
      DWORD errors = 0;
      ClearCommError(port_, &errors, nullptr);
      Sleep(1);
    }
    std::string out;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (got > 0) sim_.Feed(buf, got);
      out = sim_.TakeOutput();
    }
    if (out.empty()) continue;
    if (byteWise_) {
      for (char c : out) SendRaw(std::string(1, c));
    } else {
      SendRaw(out);
    }
  }
}

}  // namespace quillon::sim
