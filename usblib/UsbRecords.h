#pragma once
// The driver's request codes and the packed records that travel with them,
// written and read byte by byte (little-endian) so no struct layout is relied on.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantiro {

namespace ioctl {
inline constexpr std::uint32_t kDriverVersion = 0x220000;
inline constexpr std::uint32_t kUsbdiVersion = 0x220004;
inline constexpr std::uint32_t kAlternateSetting = 0x220008;
inline constexpr std::uint32_t kUsbAddress = 0x220010;
inline constexpr std::uint32_t kControlTransfer = 0x220020;
inline constexpr std::uint32_t kBufferedTransfer = 0x220024;
inline constexpr std::uint32_t kResetPort = 0x220030;
inline constexpr std::uint32_t kTransferSize = 0x220034;
inline constexpr std::uint32_t kDeviceName = 0x22003C;
inline constexpr std::uint32_t kFriendlyName = 0x220040;
inline constexpr std::uint32_t kAbortPipe = 0x220044;
inline constexpr std::uint32_t kDirectTransfer = 0x22004B;
inline constexpr std::uint32_t kBusSpeed = 0x22004C;
}  // namespace ioctl

inline constexpr std::size_t kTransferRecordSize = 38;
inline constexpr std::size_t kIsoPacketEntrySize = 8;
inline constexpr std::size_t kTransferSizeRecordSize = 5;

// The 38-byte head of every control, buffered and direct transfer request.
struct TransferRecord {
  std::uint8_t requestType = 0;
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::uint16_t index = 0;
  std::uint16_t length = 0;
  std::uint32_t timeoutSeconds = 0;
  std::uint8_t reserved = 0;
  std::uint8_t endpoint = 0;
  std::uint32_t ntStatus = 0;
  std::uint32_t usbdStatus = 0;
  std::uint32_t tableOffset = 0;
  std::uint32_t tableLength = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t dataLength = 0;

  // Writes the record into the first 38 bytes of out (out.size() >= 38).
  void WriteTo(std::span<std::uint8_t> out) const;
  // Reads a record from the first 38 bytes; false when fewer are given.
  static bool ReadFrom(std::span<const std::uint8_t> in, TransferRecord& record);
};

struct IsoPacketEntry {
  std::uint32_t status = 0;
  std::uint32_t length = 0;
};

// Endpoint address and transfer size, 5 bytes packed.
struct TransferSizeRecord {
  std::uint8_t endpoint = 0;
  std::uint32_t size = 0;
  void WriteTo(std::span<std::uint8_t> out) const;
  static bool ReadFrom(std::span<const std::uint8_t> in, TransferSizeRecord& record);
};

// Control requests carry whole seconds: 1..999 ms round up to 1 s so a short
// time-out never becomes "no time-out".
std::uint32_t ControlTimeoutSeconds(std::uint32_t timeoutMs);

// Request type byte of a control transfer.
std::uint8_t ControlRequestType(unsigned direction, unsigned requestType, unsigned recipient);

void PutLe16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t v);
void PutLe32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v);
std::uint16_t GetLe16(std::span<const std::uint8_t> in, std::size_t at);
std::uint32_t GetLe32(std::span<const std::uint8_t> in, std::size_t at);

}  // namespace vantiro
