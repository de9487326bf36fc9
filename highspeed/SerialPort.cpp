#include "highspeed/SerialPort.h"

#include "highspeed/PortName.h"

namespace quillon {

namespace {

const char kCaption[] = "Pelmora Experiment";
// The driver finishes a write within its 10 s total time-out; we allow a bit more.
constexpr DWORD kWriteWaitMs = 11000;
constexpr DWORD kReadWaitMs = 2000;

// Waits for an overlapped operation; on time-out cancels it and waits for the
// cancellation, so the buffer it targets is never left in use.
bool FinishOverlapped(HANDLE h, OVERLAPPED& ov, DWORD waitMs, DWORD& done) {
  done = 0;
  if (WaitForSingleObject(ov.hEvent, waitMs) != WAIT_OBJECT_0) CancelIoEx(h, &ov);
  return GetOverlappedResult(h, &ov, &done, TRUE) != FALSE;
}

}  // namespace

CSerialPort::~CSerialPort() { Close(); }

int CSerialPort::Open(const std::string& name, int baud) {
  return OpenDevice(PortDeviceName(name), 8192) ? StartReader(baud) : 0;
}

int CSerialPort::OpenPort(int number, int baud) {
  return OpenDevice(PortNameForNumber(number), 4096) ? StartReader(baud) : 0;
}

int CSerialPort::StartReader(int baud) {
  if (Configure(baud, 8, 0, 0) == 0) {
    MessageBoxA(nullptr, "COM port not configed", kCaption, MB_OK);
    return 0;
  }
  run_.store(1, std::memory_order_release);
  try {
    reader_ = std::thread(&CSerialPort::ReaderThreadProc, this);
  } catch (const std::system_error&) {
    run_.store(0, std::memory_order_release);
    return 0;
  }
  return 1;
}

int CSerialPort::OpenDevice(const std::string& device, DWORD queueSize) {
  ReleaseEvents();
  readOv_ = OVERLAPPED{};
  writeOv_ = OVERLAPPED{};
  readOv_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  writeOv_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (readOv_.hEvent == nullptr || writeOv_.hEvent == nullptr) {
    ReleaseEvents();
    return 0;
  }
  name_ = device;
  handle_ = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    ReleaseEvents();
    MessageBoxA(nullptr, "COM port not opened", kCaption, MB_OK);
    return 0;
  }
  SetCommMask(handle_, EV_RXCHAR);
  SetupComm(handle_, queueSize, queueSize);
  PurgeAll();
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;
  t.ReadTotalTimeoutMultiplier = 0;
  t.ReadTotalTimeoutConstant = 10000;
  t.WriteTotalTimeoutMultiplier = 0;
  t.WriteTotalTimeoutConstant = 10000;
  SetCommTimeouts(handle_, &t);
  return 1;
}

int CSerialPort::Configure(int baud, int dataBits, int parity, int stopBits) {
  if (!IsOpen()) return 0;
  dcb_ = DCB{};
  dcb_.DCBlength = sizeof(DCB);
  if (!GetCommState(handle_, &dcb_)) return 0;
  dcb_.BaudRate = static_cast<DWORD>(baud);
  dcb_.ByteSize = static_cast<BYTE>(dataBits);
  dcb_.Parity = static_cast<BYTE>(parity);
  dcb_.StopBits = static_cast<BYTE>(stopBits);
  dcb_.fBinary = TRUE;
  dcb_.fParity = TRUE;
  dcb_.fOutxCtsFlow = FALSE;
  dcb_.fOutxDsrFlow = FALSE;
  dcb_.fDtrControl = DTR_CONTROL_ENABLE;
  dcb_.fRtsControl = RTS_CONTROL_ENABLE;
  dcb_.fOutX = FALSE;
  dcb_.fInX = FALSE;
  dcb_.fNull = FALSE;
  dcb_.XonLim = 100;
  dcb_.XoffLim = 100;
  return SetCommState(handle_, &dcb_) ? 1 : 0;
}

void CSerialPort::ReaderThreadProc() {
  OVERLAPPED evOv{};
  evOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (evOv.hEvent == nullptr) return;
  std::uint8_t chunk[129];
  while (Running()) {
    DWORD mask = 0;
    ResetEvent(evOv.hEvent);
    if (!WaitCommEvent(handle_, &mask, &evOv)) {
      if (GetLastError() != ERROR_IO_PENDING) {
        DWORD errors = 0;
        ClearCommError(handle_, &errors, nullptr);
        Sleep(1);
      } else {
        // Poll the run flag so Close never depends on the driver ending the wait.
        while (Running() && WaitForSingleObject(evOv.hEvent, 20) == WAIT_TIMEOUT) {
          COMSTAT st{};
          DWORD errors = 0;
          if (ClearCommError(handle_, &errors, &st) && st.cbInQue > 0) break;
        }
        DWORD ignored = 0;
        if (WaitForSingleObject(evOv.hEvent, 0) != WAIT_OBJECT_0) CancelIoEx(handle_, &evOv);
        GetOverlappedResult(handle_, &evOv, &ignored, TRUE);
      }
    }
    // The event mask may read 0 under some drivers: go by the queue count.
    for (;;) {
      chunk[0] = 0;
      const int n = Read(chunk, 128);
      if (n <= 0) break;
      PushBytes(chunk, static_cast<std::size_t>(n));
    }
  }
  CloseHandle(evOv.hEvent);
}

int CSerialPort::Read(std::uint8_t* buffer, int max) {
  if (!IsOpen() || max <= 0) return 0;
  COMSTAT st{};
  DWORD errors = 0;
  if (!ClearCommError(handle_, &errors, &st)) return 0;
  const DWORD want = st.cbInQue < static_cast<DWORD>(max) ? st.cbInQue : static_cast<DWORD>(max);
  if (want == 0) return 0;
  ResetEvent(readOv_.hEvent);
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, want, &got, &readOv_)) {
    if (GetLastError() != ERROR_IO_PENDING || !FinishOverlapped(handle_, readOv_, kReadWaitMs, got)) {
      ClearCommError(handle_, &errors, nullptr);
      return static_cast<int>(got);
    }
  }
  return static_cast<int>(got);
}

bool CSerialPort::Write(const void* bytes, std::size_t count) {
  std::lock_guard<std::mutex> lock(writeLock_);
  if (!IsOpen()) return false;
  ResetEvent(writeOv_.hEvent);
  DWORD sent = 0;
  bool ok = WriteFile(handle_, bytes, static_cast<DWORD>(count), &sent, &writeOv_) != FALSE;
  if (!ok && GetLastError() == ERROR_IO_PENDING) ok = FinishOverlapped(handle_, writeOv_, kWriteWaitMs, sent);
  if (!ok || sent != count) {
    DWORD errors = 0;
    ClearCommError(handle_, &errors, nullptr);
    return false;
  }
  return true;
}

bool CSerialPort::WritePaced(const void* bytes, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  bool ok = true;
  for (std::size_t i = 0; i < count; ++i) {
    ok = Write(p + i, 1) && ok;
    Sleep(25);
  }
  return ok;
}

void CSerialPort::PurgeAll() {
  if (IsOpen()) PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void CSerialPort::PurgeRx() {
  if (IsOpen()) PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
}

void CSerialPort::SetLines(bool a, bool b, bool select) {
  if (!IsOpen()) return;
  if (select)
    EscapeCommFunction(handle_, a ? SETRTS : CLRRTS);
  else
    EscapeCommFunction(handle_, b ? SETDTR : CLRDTR);
}

int CSerialPort::GetModemLines() {
  DWORD s = 0;
  if (!IsOpen() || !GetCommModemStatus(handle_, &s)) return 0;
  int r = 0;
  if (s & MS_CTS_ON) r |= 1;
  if (s & MS_DSR_ON) r |= 2;
  if (s & MS_RING_ON) r |= 4;
  if (s & MS_RLSD_ON) r |= 8;
  return r;
}

void CSerialPort::ReleaseEvents() {
  if (readOv_.hEvent) CloseHandle(readOv_.hEvent);
  if (writeOv_.hEvent) CloseHandle(writeOv_.hEvent);
  readOv_.hEvent = nullptr;
  writeOv_.hEvent = nullptr;
}

int CSerialPort::Close() {
  run_.store(0, std::memory_order_release);
  if (IsOpen()) SetCommMask(handle_, 0);
  if (reader_.joinable()) reader_.join();
  int result = 0;
  std::lock_guard<std::mutex> lock(writeLock_);  // no write is in flight while the handle goes
  if (IsOpen()) {
    PurgeAll();
    result = CloseHandle(handle_) ? 1 : 0;
  }
  handle_ = nullptr;
  ReleaseEvents();
  return result;
}

}  // namespace quillon
