#include "usblib/UsbRecords.h"

namespace vantiro {

void PutLe16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLe32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t GetLe16(std::span<const std::uint8_t> in, std::size_t at) {
  return static_cast<std::uint16_t>(in[at] | (in[at + 1] << 8));
}

std::uint32_t GetLe32(std::span<const std::uint8_t> in, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | in[at + i];
  return v;
}

void TransferRecord::WriteTo(std::span<std::uint8_t> out) const {
  out[0] = requestType;
  out[1] = request;
  PutLe16(out, 2, value);
  PutLe16(out, 4, index);
  PutLe16(out, 6, length);
  PutLe32(out, 8, timeoutSeconds);
  out[12] = reserved;
  out[13] = endpoint;
  PutLe32(out, 14, ntStatus);
  PutLe32(out, 18, usbdStatus);
  PutLe32(out, 22, tableOffset);
  PutLe32(out, 26, tableLength);
  PutLe32(out, 30, dataOffset);
  PutLe32(out, 34, dataLength);
}

bool TransferRecord::ReadFrom(std::span<const std::uint8_t> in, TransferRecord& r) {
  if (in.size() < kTransferRecordSize) return false;
  r.requestType = in[0];
  r.request = in[1];
  r.value = GetLe16(in, 2);
  r.index = GetLe16(in, 4);
  r.length = GetLe16(in, 6);
  r.timeoutSeconds = GetLe32(in, 8);
  r.reserved = in[12];
  r.endpoint = in[13];
  r.ntStatus = GetLe32(in, 14);
  r.usbdStatus = GetLe32(in, 18);
  r.tableOffset = GetLe32(in, 22);
  r.tableLength = GetLe32(in, 26);
  r.dataOffset = GetLe32(in, 30);
  r.dataLength = GetLe32(in, 34);
  return true;
}

void TransferSizeRecord::WriteTo(std::span<std::uint8_t> out) const {
  out[0] = endpoint;
  PutLe32(out, 1, size);
}

bool TransferSizeRecord::ReadFrom(std::span<const std::uint8_t> in, TransferSizeRecord& r) {
  if (in.size() < kTransferSizeRecordSize) return false;
  r.endpoint = in[0];
  r.size = GetLe32(in, 1);
  return true;
}

std::uint32_t ControlTimeoutSeconds(std::uint32_t timeoutMs) {
  if (timeoutMs >= 1 && timeoutMs <= 999) return 1;
  return timeoutMs / 1000;
}

std::uint8_t ControlRequestType(unsigned direction, unsigned requestType, unsigned recipient) {
  return static_cast<std::uint8_t>(((direction & 1) << 7) | ((requestType << 5) & 0x60) |
                                   (recipient & 0x1F));
}

}  // namespace vantiro
