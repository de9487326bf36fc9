#pragma once
// The program's own COM port: overlapped I/O, one reader thread that moves
// every received byte into the receive ring, and byte-wise access to the ring.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "highspeed/ReceiveRing.h"

namespace quillon {

class CSerialPort {
 public:
  CSerialPort() = default;
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;
  // Closes the port if the owner has not (safe when it never opened).
  virtual ~CSerialPort();

  int Open(const std::string& name, int baud);
  int OpenPort(int number, int baud);
  int Configure(int baud, int dataBits, int parity, int stopBits);
  // Safe on a port that never opened or whose open failed part-way.
  int Close();

  // Sends exactly count bytes; waits (bounded) until they have gone out.
  // Writers from several threads are serialised. Returns false on failure.
  bool Write(const void* bytes, std::size_t count);
  bool Write(const std::string& text) { return Write(text.data(), text.size()); }
  bool WritePaced(const void* bytes, std::size_t count);
  // Reads what the driver already holds, at most max bytes (reader thread).
  int Read(std::uint8_t* buffer, int max);
  void PurgeAll();
  void PurgeRx();

  int HasData() const { return ring_.HasData() ? 1 : 0; }
  int Available() const { return ring_.Available(); }
  std::uint8_t GetByte() { return ring_.Get(); }
  void PushByte(std::uint8_t b) { ring_.Push(b); }
  void PushBytes(const std::uint8_t* b, std::size_t n) { ring_.Push(b, n); }
  void ClearRing() { ring_.Clear(); }

  void SetLines(bool a, bool b, bool select);
  int GetModemLines();

  bool IsOpen() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // Polled by the reader thread and by the parse thread.
  bool Running() const { return run_.load(std::memory_order_acquire) != 0; }
  const std::string& PortName() const { return name_; }

 private:
  int OpenDevice(const std::string& device, DWORD queueSize);
  int StartReader(int baud);
  void ReaderThreadProc();
  void ReleaseEvents();

  // Set by Open and cleared by Close (under writeLock_), both on the owner's
  // thread; the reader thread uses it only between the two.
  HANDLE handle_ = nullptr;
  ReceiveRing ring_;
  std::atomic<int> run_{0};  // written by the owner's thread, read by the workers
  std::thread reader_;
  OVERLAPPED readOv_{};   // reader thread only
  OVERLAPPED writeOv_{};  // under writeLock_
  std::mutex writeLock_;
  DCB dcb_{};
  std::string name_;
};

}  // namespace quillon
