#include "SimWireClient.h"

#include <winsock2.h>
#include <windows.h>

#include <utility>

namespace pel::sim::test {

std::string Wire::readLine(std::chrono::milliseconds wait) {
  auto end = std::chrono::steady_clock::now() + wait;
  while (true) {
    std::size_t e = pending_.find("\r\n");
    if (e != std::string::npos) {
      std::string line = pending_.substr(0, e);
      pending_.erase(0, e + 2);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    char buf[512];
    int n = read(buf, sizeof buf, left);
    if (n < 0) return {};
    if (n > 0) {
      ++reads_;
      pending_.append(buf, n);
    }
  }
}

std::string Wire::readExactly(std::size_t n, std::chrono::milliseconds wait) {
  auto end = std::chrono::steady_clock::now() + wait;
  while (pending_.size() < n) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    char buf[512];
    int got = read(buf, sizeof buf, left);
    if (got < 0) break;
    if (got > 0) {
      ++reads_;
      pending_.append(buf, got);
    }
  }
  std::string out = pending_.substr(0, n);
  pending_.erase(0, out.size());
  return out;
}

std::string Wire::drain(std::chrono::milliseconds quiet) {
  std::string all = std::exchange(pending_, std::string());
  char buf[512];
  int n;
  while ((n = read(buf, sizeof buf, quiet)) > 0) all.append(buf, n);
  return all;
}

bool Wire::closedWithin(std::chrono::milliseconds wait) {
  auto end = std::chrono::steady_clock::now() + wait;
  char buf[512];
  while (std::chrono::steady_clock::now() < end) {
    int n = read(buf, sizeof buf, std::chrono::milliseconds(20));
    if (n < 0) return true;
  }
  return false;
}

namespace {

class TcpWire final : public Wire {
 public:
  TcpWire() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~TcpWire() override {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    WSACleanup();
  }
  bool connect(unsigned short port) {
    s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  bool write(const std::string& bytes) override {
    return send(s_, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
  }
  int read(char* buf, int size, std::chrono::milliseconds wait) override {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s_, &set);
    timeval tv{static_cast<long>(wait.count() / 1000), static_cast<long>(wait.count() % 1000) * 1000};
    if (select(0, &set, nullptr, nullptr, &tv) <= 0) return 0;
    int n = recv(s_, buf, size, 0);
    return n > 0 ? n : -1;
  }

 private:
  SOCKET s_ = INVALID_SOCKET;
};

class ComWire final : public Wire {
 public:
  ~ComWire() override {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  bool open(int n) {
    std::string path = "\\\\.\\COM" + std::to_string(n);
    h_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h_ == INVALID_HANDLE_VALUE) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h_, &dcb);
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    SetCommState(h_, &dcb);
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;  // reads return what is waiting
    SetCommTimeouts(h_, &t);
    PurgeComm(h_, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
  }
  bool write(const std::string& bytes) override {
    DWORD done = 0;
    return WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
           done == bytes.size();
  }
  int read(char* buf, int size, std::chrono::milliseconds wait) override {
    auto end = std::chrono::steady_clock::now() + wait;
    do {
      DWORD errors = 0;
      COMSTAT st{};
      if (!ClearCommError(h_, &errors, &st)) return -1;
      if (st.cbInQue > 0) {
        DWORD done = 0;
        if (!ReadFile(h_, buf, std::min<DWORD>(st.cbInQue, size), &done, nullptr)) return -1;
        return static_cast<int>(done);
      }
      Sleep(1);
    } while (std::chrono::steady_clock::now() < end);
    return 0;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<Wire> connectTcp(unsigned short port) {
  auto w = std::make_unique<TcpWire>();
  if (!w->connect(port)) return nullptr;
  return w;
}

std::unique_ptr<Wire> openCom(int portNumber) {
  auto w = std::make_unique<ComWire>();
  if (!w->open(portNumber)) return nullptr;
  return w;
}

}  // namespace pel::sim::test
