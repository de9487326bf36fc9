#pragma once
// An in-process fake of what the device link talks through: a virtual clock
// that delivers scheduled input when the link sleeps, a serial port and a TCP
// worker that answer commands from a script.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "devicelink/LinkEnvironment.h"

namespace fake {

class Host final : public pel::link::HostLoop {
 public:
  void SleepMs(int ms) override {
    ++sleeps;
    now += ms;
    for (std::size_t i = 0; i < due.size();) {
      if (due[i].at <= now || due[i].atSleep == sleeps) {
        auto f = std::move(due[i].f);
        due.erase(due.begin() + static_cast<long>(i));
        f();
      } else {
        ++i;
      }
    }
  }
  void PumpMessages() override {
    ++pumps;
    if (onPump) {
      auto f = onPump;  // a host event during a wait
      f();
    }
  }
  void RunPendingHandOvers() override {}
  void After(int ms, std::function<void()> f) { due.push_back({now + ms, -1, std::move(f)}); }
  void AtSleep(int n, std::function<void()> f) { due.push_back({1LL << 60, n, std::move(f)}); }

  long long now = 0;
  int sleeps = 0;
  int pumps = 0;
  std::function<void()> onPump;

 private:
  struct Due {
    long long at;
    int atSleep;
    std::function<void()> f;
  };
  std::vector<Due> due;
};

// Answers a written line (without CR LF); empty answers nothing.
using Responder = std::function<std::string(const std::string& line)>;

class Serial final : public pel::link::SerialLink {
 public:
  explicit Serial(std::shared_ptr<Host> h) : host(std::move(h)) {}
  std::string PortList() override {
    std::string s;
    for (const auto& p : listed) s += p + '\0';
    return s;
  }
  void SetPort(const std::string& name) override { port = name; }
  void Open() override {
    opened.push_back(port);
    if (!answering.count(port)) throw std::runtime_error("no such port");
    open = true;
  }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  void WriteStr(const std::string& text) override {
    if (failWrites) throw std::runtime_error("write failed");
    written.push_back(port + ":" + text);
    if (wire) wire->push_back(text.substr(0, text.size() - 2));
    auto it = answering.find(port);
    if (it == answering.end() || !it->second) return;
    const std::string reply = it->second(text.substr(0, text.size() - 2));
    if (!reply.empty()) host->After(delayMs, [this, reply] { Deliver(reply); });
  }
  std::string ReadStr(std::size_t count) override {
    const std::string s = inbox.substr(0, count);
    inbox.erase(0, s.size());
    return s;
  }
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::string s = ReadStr(count);
    std::copy(s.begin(), s.end(), static_cast<char*>(buffer));
    return s.size();
  }
  void SetOnRxChar(std::function<void(std::size_t)> h) override { rx = std::move(h); }
  bool InHandOver() const override { return false; }
  // What the port's event thread would hand to the main thread.
  void Deliver(const std::string& text) {
    if (!open) return;
    inbox += text;
    if (rx) rx(inbox.size());
  }

  std::shared_ptr<Host> host;
  std::vector<std::string> listed;
  std::map<std::string, Responder> answering;  // ports that exist (null: silent)
  std::vector<std::string> opened, written;
  std::string port, inbox;
  bool open = false, failWrites = false;
  int delayMs = 3;
  std::vector<std::string>* wire = nullptr;  // every line written, outlives the port
  std::function<void(std::size_t)> rx;
};

class Worker final : public pel::link::SocketWorker {
 public:
  explicit Worker(std::shared_ptr<Host> h) : host(std::move(h)) {}
  void ConnectLocal() override {
    ++connects;
    connected = static_cast<bool>(peer);
  }
  void Disconnect() override { connected = false; }
  bool IsConnected() const override { return connected; }
  void QueueSend(const std::string& text) override {
    sent.push_back(text);
    if (wire) wire->push_back(text.substr(0, text.size() - 2));
    if (!peer) return;
    const std::string reply = peer(text.substr(0, text.size() - 2));
    if (!reply.empty()) host->After(20, [this, reply] { Deliver(reply); });
  }
  std::string PopReceived() override {
    if (received.empty()) return {};
    std::string s = received.front();
    received.pop_front();
    return s;
  }
  bool HasReceived() const override { return !received.empty(); }
  void Resume() override {}
  void Stop() override {
    stopped = true;
    if (stoppedFlag) *stoppedFlag = true;
  }
  void SetHandlers(Handlers h) override { handlers = std::move(h); }
  bool InHandOver() const override { return false; }
  void Deliver(const std::string& text) {
    if (!connected) return;
    received.push_back(text);
    if (handlers.received) handlers.received();
  }

  std::shared_ptr<Host> host;
  Responder peer;  // null: nothing listens
  bool connected = false, stopped = false;
  bool* stoppedFlag = nullptr;  // outlives the worker
  std::vector<std::string>* wire = nullptr;  // every line queued, outlives the worker
  int connects = 0;
  std::vector<std::string> sent;
  std::deque<std::string> received;
  Handlers handlers;
};

class Usb final : public pel::link::UsbLibraries {
 public:
  bool IsWow64() override { return false; }
  int UsbInit(int) override { return 1; }
  int UsbOpen() override {
    ++opens;
    return devices;
  }
  int UsbClose() override {
    ++closes;
    if (throwOnClose) throw std::runtime_error("driver handle cannot be closed");
    return 44;
  }
  void LibUsbInit() override {}
  int LibUsbCount() override { return 0; }
  void LibUsbClose() override {}
  int devices = 0, opens = 0, closes = 0;
  bool throwOnClose = false;
};

// One set of fakes and the environment that hands them out.
struct Rig {
  std::shared_ptr<Host> host = std::make_shared<Host>();
  std::shared_ptr<Usb> usb = std::make_shared<Usb>();
  Serial* serial = nullptr;  // owned by the component
  Worker* worker = nullptr;  // owned by the component
  bool workerStopped = false;  // still readable after the component went
  std::vector<std::string> wire;  // what the port and the worker sent, in order; likewise
  pel::link::LinkEnvironment Env() {
    pel::link::LinkEnvironment env;
    env.host = host;
    env.usb = usb;
    env.pollTimer = false;
    env.makeSerial = [this] {
      auto s = std::make_unique<Serial>(host);
      s->wire = &wire;
      serial = s.get();
      return s;
    };
    env.makeWorker = [this] {
      auto w = std::make_unique<Worker>(host);
      w->stoppedFlag = &workerStopped;
      w->wire = &wire;
      worker = w.get();
      return w;
    };
    return env;
  }
};

}  // namespace fake
