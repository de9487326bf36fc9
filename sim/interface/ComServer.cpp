// COM side of the simulator: the port opened with overlapped I/O at 115200
// baud 8N1, polled for input. A "close" fault closes the port and opens it
// again, dropping whatever was waiting.
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <string>
#include <thread>

#include "sim/interface/WinTransports.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() { reset(); }
  Handle(Handle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset() {
    if (h_) CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_ = nullptr;
};

std::string portPath(int n) { return "\\\\.\\COM" + std::to_string(n); }

Handle openPort(int n, std::string& error) {
  Handle port(CreateFileA(portPath(n).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!port) {
    error = "cannot open COM" + std::to_string(n) + " (error " + std::to_string(GetLastError()) + ")";
    return port;
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(port.get(), &dcb);
  dcb.BaudRate = CBR_115200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  if (!SetCommState(port.get(), &dcb)) {
    error = "cannot set up COM" + std::to_string(n);
    return Handle();
  }
  // Reads return at once with what is waiting.
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;
  t.WriteTotalTimeoutConstant = 2000;
  SetCommTimeouts(port.get(), &t);
  PurgeComm(port.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
  return port;
}

// One overlapped transfer, waited for; returns the bytes moved or -1.
long transfer(HANDLE port, bool write, char* data, DWORD size) {
  Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED ov{};
  ov.hEvent = event.get();
  DWORD done = 0;
  BOOL ok = write ? WriteFile(port, data, size, &done, &ov) : ReadFile(port, data, size, &done, &ov);
  if (!ok) {
    if (GetLastError() != ERROR_IO_PENDING) return -1;
    if (!GetOverlappedResult(port, &ov, &done, TRUE)) return -1;
  }
  return static_cast<long>(done);
}

class ComServer final : public ServerTransport {
 public:
  explicit ComServer(int n) : number_(n) {
    std::string error;
    port_ = openPort(n, error);
    if (!port_) throw std::runtime_error(error);
  }

  void serve(TransportState& st) override {
    while (!st.stop) {
      if (!port_) {
        std::string error;
        port_ = openPort(number_, error);
        if (!port_) {
          std::this_thread::sleep_for(100ms);
          continue;
        }
      }
      ++st.connections;
      st.peer = true;
      st.core.connected(SimCore::Clock::now());
      servePort(st);
      st.peer = false;
      port_.reset();
      if (!st.stop) std::this_thread::sleep_for(50ms);
    }
  }

 private:
  void servePort(TransportState& st) {
    char buf[4096];
    while (!st.stop) {
      DWORD errors = 0;
      COMSTAT stat{};
      if (!ClearCommError(port_.get(), &errors, &stat)) return;
      std::string received;
      if (stat.cbInQue > 0) {
        DWORD want = std::min<DWORD>(stat.cbInQue, sizeof buf);
        long n = transfer(port_.get(), false, buf, want);
        if (n < 0) return;
        received.assign(buf, static_cast<std::size_t>(n));
      }
      Outgoing out = st.core.step(received, SimCore::Clock::now());
      for (std::size_t i = 0; i < out.pieces.size(); ++i) {
        if (st.stop) return;  // slow delivery must not hold up stop()
        if (i > 0 && out.gap.count() > 0) std::this_thread::sleep_for(out.gap);
        std::string& p = out.pieces[i];
        if (transfer(port_.get(), true, p.data(), static_cast<DWORD>(p.size())) < 0) return;
      }
      if (out.close) return;
      if (received.empty()) std::this_thread::sleep_for(1ms);
    }
  }

  int number_;
  Handle port_;
};

}  // namespace

std::unique_ptr<ServerTransport> makeComServer(int portNumber) {
  return std::make_unique<ComServer>(portNumber);
}

}  // namespace pel::sim
