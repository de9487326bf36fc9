#include "usblib/UsbEndpoint.h"

#include <algorithm>
#include <cstring>

#include "usblib/DriverIo.h"

namespace vantiro {

namespace {

std::unique_ptr<IoBuffers> RecordWithData(const TransferRecord& record, std::size_t tableBytes,
                                          const void* data, std::uint32_t length) {
  auto buffers = std::make_unique<IoBuffers>();
  buffers->shared = true;
  buffers->in.assign(kTransferRecordSize + tableBytes + length, 0);
  record.WriteTo(buffers->in);
  if (data && length) {
    std::memcpy(buffers->in.data() + kTransferRecordSize + tableBytes, data, length);
  }
  return buffers;
}

// Direct mode: the record goes in, the data in a buffer of its own. The
// request owns that buffer (copied from or to the caller's), so a request
// that outlives its call never touches the caller's memory.
std::unique_ptr<IoBuffers> RecordAndDataBuffer(const TransferRecord& record, std::size_t tableBytes,
                                               const void* data, std::uint32_t length, bool in) {
  auto buffers = std::make_unique<IoBuffers>();
  buffers->in.assign(kTransferRecordSize + tableBytes, 0);
  record.WriteTo(buffers->in);
  buffers->out.assign(length, 0);
  if (!in && data && length) std::memcpy(buffers->out.data(), data, length);
  return buffers;
}

}  // namespace

UsbEndpoint::UsbEndpoint(DriverApi& api, DriverHandle handle, const EndpointDescriptor& descriptor)
    : api_(api), handle_(handle), descriptor_(descriptor),
      directionIn_((descriptor.address & 0x80) != 0) {}

UsbEndpoint::Request UsbEndpoint::BeginDirect(const void* buffer, std::uint32_t length) {
  TransferRecord record;
  record.endpoint = descriptor_.address;
  return {ioctl::kDirectTransfer, RecordAndDataBuffer(record, 0, buffer, length, directionIn_)};
}

UsbEndpoint::Request UsbEndpoint::BeginBuffered(const void* buffer, std::uint32_t length) {
  TransferRecord record;
  record.endpoint = descriptor_.address;
  record.dataOffset = kTransferRecordSize;
  record.dataLength = length;
  return {ioctl::kBufferedTransfer, RecordWithData(record, 0, buffer, length)};
}

bool UsbEndpoint::Transfer(void* buffer, std::uint32_t& length, std::vector<IsoPacketEntry>* packets) {
  if (handle_ == kInvalidDriverHandle || (!buffer && length)) {
    length = 0;
    return false;
  }
  Request request = BeginTransfer(buffer, length);
  if (!request.buffers) {
    length = 0;
    return false;
  }
  RequestResult result = RunRequest(api_, handle_, request.code, std::move(request.buffers), timeoutMs,
                                    [this] { AbortPipe(); });
  lastError_ = result.error;
  IoBuffers* buffers = result.request ? &result.request->Buffers() : nullptr;
  return FinishTransfer(result.ok, result.bytes, buffers, buffer, length, packets);
}

bool UsbEndpoint::FinishTransfer(bool ended, std::uint32_t bytes, IoBuffers* buffers, void* buffer,
                                 std::uint32_t& length, std::vector<IsoPacketEntry>* packets) {
  const std::uint32_t asked = length;
  length = 0;
  bytesTransferred_ = 0;
  if (!ended || !buffers) return false;
  TransferRecord record;
  if (!TransferRecord::ReadFrom(buffers->in, record)) return false;
  // A count below the data offset means no data came back.
  const std::uint32_t got = bytes > record.dataOffset ? bytes - record.dataOffset : 0;
  length = std::min(got, asked);
  bytesTransferred_ = length;
  usbdStatus_ = record.usbdStatus;
  ntStatus_ = record.ntStatus;
  if (directionIn_ && length) {
    const std::vector<std::uint8_t>& from = buffers->shared ? buffers->in : buffers->out;
    const std::size_t start = buffers->shared ? record.dataOffset : 0;
    const std::size_t available = from.size() > start ? from.size() - start : 0;
    length = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(available));
    std::memcpy(buffer, from.data() + start, length);
    bytesTransferred_ = length;
  }
  if (packets && length > 0 && record.tableOffset >= kTransferRecordSize) {
    packets->clear();
    const std::size_t end = std::min<std::size_t>(record.tableOffset + record.tableLength, buffers->in.size());
    for (std::size_t at = record.tableOffset; at + kIsoPacketEntrySize <= end; at += kIsoPacketEntrySize) {
      packets->push_back({GetLe32(buffers->in, at), GetLe32(buffers->in, at + 4)});
    }
  }
  return usbdStatus_ == 0 && ntStatus_ == 0;
}

std::uint32_t UsbEndpoint::TransferSize() {
  if (handle_ == kInvalidDriverHandle) return 0;
  auto buffers = std::make_unique<IoBuffers>();
  buffers->shared = true;
  buffers->in.assign(kTransferSizeRecordSize, 0);
  TransferSizeRecord{descriptor_.address, 0}.WriteTo(buffers->in);
  RequestResult result = RunRequest(api_, handle_, ioctl::kTransferSize, std::move(buffers), timeoutMs);
  TransferSizeRecord answer;
  if (!result.ok || result.bytes < kTransferSizeRecordSize ||
      !TransferSizeRecord::ReadFrom(result.request->Buffers().in, answer)) {
    return 0;
  }
  return answer.size;
}

bool UsbEndpoint::AbortPipe() {
  if (handle_ == kInvalidDriverHandle) return false;
  auto buffers = std::make_unique<IoBuffers>();
  buffers->in.assign(1, descriptor_.address);
  return RunRequest(api_, handle_, ioctl::kAbortPipe, std::move(buffers), kSettleWaitMs).ok;
}

EndpointDescriptor ControlEndpoint::DefaultDescriptor(std::uint8_t maxPacketSize0) {
  EndpointDescriptor d;
  d.length = 7;
  d.type = 5;
  SetMaxPacketField(d, maxPacketSize0);
  return d;
}

ControlEndpoint::ControlEndpoint(DriverApi& api, DriverHandle handle, const EndpointDescriptor& descriptor)
    : UsbEndpoint(api, handle, descriptor) {
  buffered = true;
}

UsbEndpoint::Request ControlEndpoint::BeginTransfer(const void* buffer, std::uint32_t length) {
  directionIn_ = direction == 1;
  if (length > 0xFFFF) return {};  // the data stage length is 16 bits
  TransferRecord record;
  record.requestType = ControlRequestType(direction, requestType, recipient);
  record.request = request;
  record.value = value;
  record.index = index;
  record.length = static_cast<std::uint16_t>(length);
  record.timeoutSeconds = ControlTimeoutSeconds(timeoutMs);
  record.dataOffset = kTransferRecordSize;
  record.dataLength = length;
  return {ioctl::kControlTransfer, RecordWithData(record, 0, buffer, length)};
}

UsbEndpoint::Request BulkEndpoint::BeginTransfer(const void* buffer, std::uint32_t length) {
  return buffered ? BeginBuffered(buffer, length) : BeginDirect(buffer, length);
}

namespace {
std::uint32_t PacketCount(std::uint32_t length, std::uint16_t maxPacket) {
  if (maxPacket == 0) return 0;
  return (length + maxPacket - 1) / maxPacket;
}
}  // namespace

UsbEndpoint::Request IsochronousEndpoint::BeginDirect(const void* buffer, std::uint32_t length) {
  const std::uint32_t packets = PacketCount(length, descriptor_.maxPacketSize);
  if (packets == 0) return {};
  TransferRecord record;
  record.endpoint = descriptor_.address;
  record.tableOffset = kTransferRecordSize;
  record.tableLength = kIsoPacketEntrySize * packets;
  return {ioctl::kDirectTransfer,
          RecordAndDataBuffer(record, record.tableLength, buffer, length, directionIn_)};
}

UsbEndpoint::Request IsochronousEndpoint::BeginBuffered(const void* buffer, std::uint32_t length) {
  const std::uint32_t packets = PacketCount(length, descriptor_.maxPacketSize);
  if (packets == 0) return {};
  TransferRecord record;
  record.endpoint = descriptor_.address;
  record.tableOffset = kTransferRecordSize;
  record.tableLength = kIsoPacketEntrySize * packets;
  record.dataOffset = kTransferRecordSize + record.tableLength;
  record.dataLength = length;
  return {ioctl::kBufferedTransfer, RecordWithData(record, record.tableLength, buffer, length)};
}

UsbEndpoint::Request IsochronousEndpoint::BeginTransfer(const void* buffer, std::uint32_t length) {
  return buffered ? BeginBuffered(buffer, length) : BeginDirect(buffer, length);
}

std::unique_ptr<UsbEndpoint> MakeEndpoint(DriverApi& api, DriverHandle handle,
                                          const EndpointDescriptor& descriptor) {
  const auto kind = descriptor.Kind();
  if (!kind) return nullptr;
  switch (*kind) {
    case EndpointKind::Isochronous:
      return std::make_unique<IsochronousEndpoint>(api, handle, descriptor);
    case EndpointKind::Bulk:
      return std::make_unique<BulkEndpoint>(api, handle, descriptor);
    case EndpointKind::Interrupt:
      return std::make_unique<InterruptEndpoint>(api, handle, descriptor);
    case EndpointKind::Control:
      break;
  }
  return std::make_unique<ControlEndpoint>(api, handle, descriptor);
}

}  // namespace vantiro
