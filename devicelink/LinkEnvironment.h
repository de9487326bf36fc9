#pragma once
// What the device link talks through: the serial port, the TCP worker, the
// host's loop and clock, and the USB libraries. The real ones come from
// DefaultLinkEnvironment(); tests give in-process fakes.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace pel::link {

// The serial port component as the link uses it.
class SerialLink {
 public:
  virtual ~SerialLink() = default;
  // Port names, each followed by a NUL character.
  virtual std::string PortList() = 0;
  virtual void SetPort(const std::string& name) = 0;
  virtual void Open() = 0;  // throws when the port cannot be opened
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual void WriteStr(const std::string& text) = 0;  // throws on failure
  virtual std::string ReadStr(std::size_t count) = 0;
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // The receive-character event; runs on the main thread.
  virtual void SetOnRxChar(std::function<void(std::size_t)> handler) = 0;
  // True while its receive event runs (its thread then waits for that call).
  virtual bool InHandOver() const = 0;
  // Runs on the main thread when the open port stops answering (gone).
  virtual void SetOnGone(std::function<void()> handler) { (void)handler; }
};

// The TCP worker (TWinsockDaemon) as the link uses it. Its handlers run on
// the main thread.
class SocketWorker {
 public:
  virtual ~SocketWorker() = default;
  virtual void ConnectLocal() = 0;
  virtual void Disconnect() = 0;
  virtual bool IsConnected() const = 0;
  virtual void QueueSend(const std::string& text) = 0;
  virtual std::string PopReceived() = 0;
  virtual bool HasReceived() const = 0;
  virtual void Resume() = 0;
  // Stops the loop and returns when it has ended (servicing hand-overs meanwhile).
  virtual void Stop() = 0;
  struct Handlers {
    std::function<void()> received;    // a piece was added to the receive list
    std::function<void()> sendFailed;  // a queued text could not be sent
    std::function<void()> lost;        // the peer closed the connection or it failed
  };
  virtual void SetHandlers(Handlers h) = 0;
  // True while one of its hand-overs runs (its loop then waits for that call).
  virtual bool InHandOver() const = 0;
};

// The host's loop and clock.
class HostLoop {
 public:
  virtual ~HostLoop() = default;
  virtual void SleepMs(int ms) = 0;
  virtual void PumpMessages() = 0;
  // Runs the hand-overs worker threads queued (their Synchronize calls).
  virtual void RunPendingHandOvers() = 0;
};

// The USB libraries: Vantiro's calls and libusb's, as the link makes them.
// The transfers default to "nothing there" for fakes that only connect.
class UsbLibraries {
 public:
  virtual ~UsbLibraries() = default;
  virtual bool IsWow64() = 0;
  virtual int UsbInit(int timeoutMs) = 0;
  virtual int UsbOpen() = 0;   // may throw (a driver handle that cannot be closed)
  virtual int UsbClose() = 0;  // may throw
  virtual void LibUsbInit() = 0;
  virtual int LibUsbCount() = 0;
  virtual void LibUsbClose() = 0;  // closes the handles LibUsbOpen opened
  // Vantiro: devices present; a bulk write (non-zero: sent) and read (bytes, -1 failed).
  virtual int UsbCheckOpen() { return 0; }
  virtual int UsbWrite(const void* /*buffer*/, int /*length*/, int /*device*/) { return 0; }
  virtual int UsbRead(void* /*buffer*/, int /*length*/, int /*device*/) { return -1; }
  // libusb: opens (and claims) the USB sensors, closing what was open; the count.
  virtual int LibUsbOpen() { return 0; }
  // Bytes moved, negative on failure.
  virtual int LibUsbWrite(int /*device*/, const void* /*buffer*/, int /*length*/, int /*timeoutMs*/) { return -1; }
  virtual int LibUsbRead(int /*device*/, void* /*buffer*/, int /*length*/, int /*timeoutMs*/) { return -1; }
};

struct LinkEnvironment {
  std::function<std::unique_ptr<SerialLink>()> makeSerial;
  std::function<std::unique_ptr<SocketWorker>()> makeWorker;
  std::shared_ptr<HostLoop> host;
  std::shared_ptr<UsbLibraries> usb;
  bool pollTimer = true;  // run the 5 ms poll timer (tests with a fake clock turn it off)
};

}  // namespace pel::link
