#include "platform/SerialPort.h"

#include "platform/HandOver.h"
#include "platform/Registry.h"

namespace pel {
namespace {

std::string trim(std::string s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

// Closes an event handle on every path out.
struct Event {
  HANDLE h = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Event() = default;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  ~Event() {
    if (h) CloseHandle(h);
  }
};

// Waits for an overlapped call to finish; false when it failed.
bool finish(HANDLE port, OVERLAPPED& ov, BOOL started, DWORD& done) {
  if (started) return GetOverlappedResult(port, &ov, &done, FALSE) != 0;
  if (GetLastError() != ERROR_IO_PENDING) return false;
  return GetOverlappedResult(port, &ov, &done, TRUE) != 0;
}

}  // namespace

SerialPort::Session::~Session() {
  if (stop) CloseHandle(stop);
  if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
}

SerialPort::~SerialPort() {
  close();
  finishRetired();
}

std::vector<std::string> SerialPort::portNames() {
  const char* key = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
  std::vector<std::string> out;
  for (const auto& name : reg::valueNames(reg::Root::LocalMachine, key)) {
    std::string port = trim(reg::readString(reg::Root::LocalMachine, key, name));
    if (!port.empty()) out.push_back(std::move(port));
  }
  return out;
}

std::string SerialPort::portList() {
  std::string out;
  for (const auto& p : portNames()) {
    out += p;
    out += '\0';
  }
  return out;
}

void SerialPort::open() {
  finishRetired();
  if (isOpen()) return;
  if (port_.empty()) throw SerialError("no serial port chosen");
  // The device name form that also reaches COM10 and above.
  const std::string path = "\\\\.\\" + port_;
  auto s = std::make_unique<Session>();
  s->port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED, nullptr);
  if (s->port == INVALID_HANDLE_VALUE) throw SerialError("cannot open " + port_);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(s->port, &dcb);
  dcb.BaudRate = 115200;
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
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  COMMTIMEOUTS to{};
  to.ReadIntervalTimeout = MAXDWORD;  // reads return at once with what is waiting
  to.WriteTotalTimeoutConstant = 2000;
  if (!SetCommState(s->port, &dcb) || !SetCommTimeouts(s->port, &to) || !SetCommMask(s->port, EV_RXCHAR))
    throw SerialError("cannot set up " + port_);
  SetupComm(s->port, 8192, 8192);
  PurgeComm(s->port, PURGE_RXCLEAR | PURGE_TXCLEAR);
  s->stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!s->stop) throw SerialError("cannot set up " + port_);
  Session* raw = s.get();
  s->thread = std::thread([this, raw] { eventLoop(*raw); });
  session_ = std::move(s);
}

void SerialPort::close() {
  if (!session_) return;
  Session& s = *session_;
  s.closing = true;
  SetEvent(s.stop);
  if (s.inHandler > 0) {
    // Called from this session's own receive event: its thread waits for
    // that call and touches the port no more, so the port closes now (it
    // can be opened again at once) and the thread is joined later.
    CloseHandle(s.port);
    s.port = INVALID_HANDLE_VALUE;
    retired_.push_back(std::move(session_));
    return;
  }
  endSession(s);
  session_.reset();
  finishRetired();
}

void SerialPort::endSession(Session& s) {
  // The event thread may be blocked in a hand-over to this thread.
  HandOver::instance().serviceUntil([&s] { return s.done.load(); });
  s.thread.join();
}

void SerialPort::finishRetired() {
  for (auto it = retired_.begin(); it != retired_.end();) {
    if ((*it)->inHandler > 0) {
      ++it;
      continue;
    }
    endSession(**it);
    it = retired_.erase(it);
  }
}

std::size_t SerialPort::waiting(HANDLE port) {
  std::size_t count = 0;
  return queued(port, count) ? count : 0;
}

bool SerialPort::queued(HANDLE port, std::size_t& count) {
  DWORD errors = 0;
  COMSTAT st{};
  if (!ClearCommError(port, &errors, &st)) return false;
  count = st.cbInQue;
  return true;
}

void SerialPort::handOver(Session& s, const std::function<void()>& f) {
  try {
    HandOver::instance().synchronize([this, &s, &f] {
      if (s.closing) return;
      // s stays put while this runs: a close from inside only retires it.
      ++inHandler_;
      ++s.inHandler;
      struct Unwind {
        SerialPort& port;
        Session& session;
        ~Unwind() {
          --session.inHandler;
          --port.inHandler_;
        }
      } unwind{*this, s};
      f();
    });
  } catch (...) {
    // A failing handler must not end the event thread.
  }
}

void SerialPort::eventLoop(Session& s) {
  constexpr int kGoneAfterFailures = 3;
  int failures = 0;  // of the queue check, in a row
  Event ev;
  while (!s.closing) {
    OVERLAPPED ov{};
    ov.hEvent = ev.h;
    ResetEvent(ev.h);
    DWORD mask = 0;
    const BOOL started = WaitCommEvent(s.port, &mask, &ov);
    bool pending = !started && GetLastError() == ERROR_IO_PENDING;
    if (!started && !pending) {
      // The wait itself failed: fall back to looking at the queue.
      if (WaitForSingleObject(s.stop, 10) == WAIT_OBJECT_0) break;
    }
    while (pending && !s.closing) {
      HANDLE hs[2] = {ev.h, s.stop};
      // Some drivers leave the mask 0 or miss the event: the queue count decides.
      const DWORD w = WaitForMultipleObjects(2, hs, FALSE, 20);
      if (w == WAIT_OBJECT_0 + 1) break;
      if (w == WAIT_OBJECT_0) {
        pending = false;
        break;
      }
      if (waiting(s.port) > 0) break;
    }
    if (pending) {
      // Data came without the event, or the port closes: end the wait.
      SetCommMask(s.port, EV_RXCHAR);
      CancelIo(s.port);
      DWORD n;
      GetOverlappedResult(s.port, &ov, &n, TRUE);
    }
    if (s.closing) break;
    std::size_t count = 0;
    if (!queued(s.port, count)) {
      // A few failures in a row, not one: the port has gone.
      if (++failures < kGoneAfterFailures) {
        if (WaitForSingleObject(s.stop, 20) == WAIT_OBJECT_0) break;
        continue;
      }
      handOver(s, [this] {
        // A copy: the handler may replace itself or close the port.
        if (const GoneHandler handler = onGone_) handler();
      });
      break;
    }
    failures = 0;
    if (count == 0) continue;
    handOver(s, [this, count] {
      if (const RxCharHandler handler = onRxChar_) handler(count);
    });
  }
  s.done = true;
  HandOver::instance().notify();
}

void SerialPort::writeStr(const std::string& text) {
  if (!isOpen()) throw SerialError("serial port not open");
  HANDLE h = session_->port;
  Event ev;
  OVERLAPPED ov{};
  ov.hEvent = ev.h;
  DWORD done = 0;
  const BOOL started = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, &ov);
  if (!finish(h, ov, started, done) || done != text.size())
    throw SerialError("write to " + port_ + " failed");
}

std::size_t SerialPort::read(void* buffer, std::size_t count) {
  if (!isOpen() || count == 0) return 0;
  HANDLE h = session_->port;
  // Ask for no more than is waiting: some serial drivers (Wine's on a pty
  // among them) leave an overlapped read pending despite the timeouts when
  // nothing has arrived, and the wait below would then last until the peer
  // sends again, which after a stop it never does.
  const std::size_t available = waiting(h);
  if (available == 0) return 0;
  if (count > available) count = available;
  Event ev;
  OVERLAPPED ov{};
  ov.hEvent = ev.h;
  DWORD done = 0;
  const BOOL started = ReadFile(h, buffer, static_cast<DWORD>(count), &done, &ov);
  if (!finish(h, ov, started, done)) return 0;
  return done;
}

std::string SerialPort::readStr(std::size_t count) {
  std::string s(count, '\0');
  s.resize(read(s.data(), count));
  return s;
}

}  // namespace pel
