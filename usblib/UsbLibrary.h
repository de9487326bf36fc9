#pragma once
// The library's device table and the work behind each USB_ export: up to 12
// matched sensor devices (vendor 0x0547, product 0x1003) with their bulk IN
// pipe 0x83 and OUT pipe 0x04.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "usblib/DriverApi.h"
#include "usblib/UsbDevice.h"

namespace vantiro {

inline constexpr int kMaxMatched = 12;
inline constexpr std::uint16_t kSensorVendorId = 0x0547;
inline constexpr std::uint16_t kSensorProductId = 0x1003;
inline constexpr std::uint8_t kSensorInPipe = 0x83;
inline constexpr std::uint8_t kSensorOutPipe = 0x04;
inline constexpr int kCloseResult = 44;
inline constexpr std::size_t kProductNameUnits = 256;  // NUL included

// One lock serialises every call: the device link calls in from two threads.
// Open, Close and CheckDevice throw UsbDriverError when a handle refuses to
// close, leaving the objects not yet handled as they were.
class UsbLibrary {
 public:
  explicit UsbLibrary(DriverApi& api);
  ~UsbLibrary();

  int Init(int timeoutMs);
  int Open();
  int Close();
  int Read(void* buffer, int length, int deviceIndex);
  int Write(const void* buffer, int length, int deviceIndex);
  int CheckOpen();
  int CheckDevice();
  // Present devices, -1 for an index at or beyond them (or outside the table),
  // -2 before the first Open. name receives at most 255 code units.
  int ProductName(std::u16string& name, int deviceIndex);
  int GetXferSize(int deviceIndex);
  int Reset();

 private:
  int Match();
  void ForgetPipes();
  void CloseAll();
  bool IsMatched(int deviceIndex) const { return deviceIndex >= 0 && deviceIndex < matched_; }

  std::mutex lock_;
  DriverApi& api_;
  std::uint32_t transferTimeoutMs_ = 0;
  std::unique_ptr<UsbDevice> probeDevice_;
  std::array<std::unique_ptr<UsbDevice>, kMaxMatched> deviceSlots_;
  std::array<std::u16string, kMaxMatched> productNames_;
  std::array<UsbEndpoint*, kMaxMatched> inPipes_{};
  std::array<UsbEndpoint*, kMaxMatched> outPipes_{};
  int matched_ = 0;
};

}  // namespace vantiro
