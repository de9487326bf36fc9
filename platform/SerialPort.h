#pragma once
// A serial port at 115200 baud 8N1 with overlapped I/O. A thread of its own
// waits for received characters and hands the receive-character event to the
// main thread synchronously (pel::HandOver), with the number of bytes waiting.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace pel {

struct SerialError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class SerialPort {
 public:
  // Runs on the main thread; count is the number of bytes waiting.
  using RxCharHandler = std::function<void(std::size_t count)>;
  // Runs on the main thread, once, when the open port stops answering (the
  // device unplugged, its driver or pty gone); the event thread then ends.
  using GoneHandler = std::function<void()>;

  SerialPort() = default;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  ~SerialPort();

  // Port names the system lists (HKLM HARDWARE\DEVICEMAP\SERIALCOMM), trimmed.
  static std::vector<std::string> portNames();
  // The same names, each followed by a NUL character, in one text.
  static std::string portList();

  void setPort(std::string name) { port_ = std::move(name); }
  const std::string& port() const { return port_; }
  // Throws SerialError when the port cannot be opened or set up.
  void open();
  // From inside a receive event too, any number of times: a session closed
  // inside its own event lets go of the port at once (it can be opened
  // again in the same call) and its thread is joined after that event
  // returned. Never destroyed inside its own event.
  void close();
  bool isOpen() const { return session_ != nullptr; }

  // Throws SerialError unless every byte went out.
  void writeStr(const std::string& text);
  // What is waiting, at most count bytes (never blocks).
  std::string readStr(std::size_t count);
  std::size_t read(void* buffer, std::size_t count);

  void setOnRxChar(RxCharHandler h) { onRxChar_ = std::move(h); }
  void setOnGone(GoneHandler h) { onGone_ = std::move(h); }
  // True while the receive event runs.
  bool inHandler() const { return inHandler_ > 0; }

 private:
  // One open port with its event thread; kept apart so that a port closed
  // from inside its own receive event can be finished later.
  struct Session {
    HANDLE port = INVALID_HANDLE_VALUE;
    HANDLE stop = nullptr;
    std::atomic<bool> closing{false};
    std::atomic<bool> done{false};
    int inHandler = 0;  // depth of this session's events running (main thread)
    std::thread thread;
    ~Session();
  };
  void eventLoop(Session& s);
  // Ends a session whose thread is not waiting for a handler on the stack.
  static void endSession(Session& s);
  // Joins the retired sessions whose handlers have returned.
  void finishRetired();
  static std::size_t waiting(HANDLE port);
  // The bytes waiting; false when the port no longer answers.
  static bool queued(HANDLE port, std::size_t& count);
  // Runs f on the main thread as a handler of this port (see inHandler).
  void handOver(Session& s, const std::function<void()>& f);

  std::string port_;
  std::unique_ptr<Session> session_;  // main thread only
  // Closed from inside their own events, joined once those returned (main thread only).
  std::vector<std::unique_ptr<Session>> retired_;
  int inHandler_ = 0;                 // depth of receive events running (main thread)
  RxCharHandler onRxChar_;            // main thread only
  GoneHandler onGone_;                // main thread only
};

}  // namespace pel
