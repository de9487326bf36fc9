#pragma once
// The one seam between the driver classes and the operating system: device
// interface enumeration, opening and closing a driver handle, and overlapped
// I/O control requests. The shipped library runs it over Win32; the tests put
// a simulated driver behind it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantiro {

using DriverHandle = std::intptr_t;
inline constexpr DriverHandle kInvalidDriverHandle = -1;

struct InterfaceClassId {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};

// {AE18AA60-7F6A-11D4-97DD-00010229B959}
inline constexpr InterfaceClassId kDriverInterfaceClass = {
    0xAE18AA60, 0x7F6A, 0x11D4, {0x97, 0xDD, 0x00, 0x01, 0x02, 0x29, 0xB9, 0x59}};

// Win32 error codes the classes look at.
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorIoPending = 997;
inline constexpr std::uint32_t kErrorOperationAborted = 995;
inline constexpr std::uint32_t kErrorGenFailure = 31;

// The memory a request reads and writes. The request owns it, so it stays
// valid for as long as the driver may touch it. When shared is set, in is
// both the input and the output buffer (out stays empty).
struct IoBuffers {
  std::vector<std::uint8_t> in;
  std::vector<std::uint8_t> out;
  bool shared = false;
  std::vector<std::uint8_t>& Output() { return shared ? in : out; }
};

enum class WaitResult { Ended, TimedOut, Failed };

// One overlapped request handed to the driver.
class PendingRequest {
 public:
  virtual ~PendingRequest() = default;
  // Waits up to timeoutMs for the request to end.
  virtual WaitResult Wait(std::uint32_t timeoutMs) = 0;
  // Outcome of an ended request without waiting: false with the error when
  // it failed (or has not ended).
  virtual bool Outcome(std::uint32_t& bytes, std::uint32_t& error) = 0;
  virtual IoBuffers& Buffers() = 0;
};

struct StartedRequest {
  // 0: ended at once; kErrorIoPending: in flight; anything else: refused.
  std::uint32_t error = kErrorGenFailure;
  std::unique_ptr<PendingRequest> request;  // set unless refused
};

class DriverApi {
 public:
  virtual ~DriverApi() = default;
  // Present device interfaces of the class (0 when the list cannot be had).
  virtual int CountInterfaces(const InterfaceClassId& id) = 0;
  // Device path of interface n of the class.
  virtual std::optional<std::string> InterfacePath(const InterfaceClassId& id, int n) = 0;
  // Opens a device path for overlapped reading and writing.
  virtual DriverHandle Open(const std::string& path) = 0;
  // False when the handle refuses to close.
  virtual bool Close(DriverHandle handle) = 0;
  virtual StartedRequest Start(DriverHandle handle, std::uint32_t code,
                               std::unique_ptr<IoBuffers> buffers) = 0;
  // Cancels the calling thread's requests on the handle.
  virtual bool CancelIo(DriverHandle handle) = 0;
};

}  // namespace vantiro
