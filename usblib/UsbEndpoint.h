#pragma once
// Endpoints of an open driver device and their transfers: direct (the data
// goes in its own buffer) or buffered (the data rides behind the 38-byte
// transfer record).
#include <cstdint>
#include <memory>
#include <vector>

#include "usblib/DriverApi.h"
#include "usblib/UsbDescriptors.h"
#include "usblib/UsbRecords.h"

namespace vantiro {

inline constexpr std::uint32_t kDefaultEndpointTimeoutMs = 10000;

class UsbEndpoint {
 public:
  UsbEndpoint(DriverApi& api, DriverHandle handle, const EndpointDescriptor& descriptor);
  virtual ~UsbEndpoint() = default;
  UsbEndpoint(const UsbEndpoint&) = delete;
  UsbEndpoint& operator=(const UsbEndpoint&) = delete;

  // Moves up to length bytes; length becomes the bytes moved (never more than
  // asked). packets, when given, receives the packet table of an iso transfer.
  bool Transfer(void* buffer, std::uint32_t& length, std::vector<IsoPacketEntry>* packets = nullptr);
  std::uint32_t TransferSize();
  bool AbortPipe();

  std::uint32_t timeoutMs = kDefaultEndpointTimeoutMs;
  bool buffered = false;

  std::uint8_t Address() const { return descriptor_.address; }
  std::uint8_t Attributes() const { return descriptor_.attributes; }
  // Endpoint objects exist only for descriptors that name a kind.
  EndpointKind Kind() const { return descriptor_.Kind().value_or(EndpointKind::Control); }
  const EndpointDescriptor& Descriptor() const { return descriptor_; }
  bool DirectionIn() const { return directionIn_; }
  std::uint32_t UsbdStatus() const { return usbdStatus_; }
  std::uint32_t NtStatus() const { return ntStatus_; }
  std::uint32_t BytesTransferred() const { return bytesTransferred_; }
  std::uint32_t LastError() const { return lastError_; }

 protected:
  struct Request {
    std::uint32_t code = 0;
    std::unique_ptr<IoBuffers> buffers;
  };
  virtual Request BeginDirect(const void* buffer, std::uint32_t length);
  virtual Request BeginBuffered(const void* buffer, std::uint32_t length);
  // The kind's request; no buffers means no request can be made.
  virtual Request BeginTransfer(const void* buffer, std::uint32_t length) = 0;

  DriverApi& api_;
  DriverHandle handle_;
  EndpointDescriptor descriptor_;
  bool directionIn_ = false;

 private:
  bool FinishTransfer(bool ended, std::uint32_t bytes, IoBuffers* buffers, void* buffer,
                      std::uint32_t& length, std::vector<IsoPacketEntry>* packets);

  std::uint32_t usbdStatus_ = 0;
  std::uint32_t ntStatus_ = 0;
  std::uint32_t bytesTransferred_ = 0;
  std::uint32_t lastError_ = 0;
};

class ControlEndpoint : public UsbEndpoint {
 public:
  ControlEndpoint(DriverApi& api, DriverHandle handle, const EndpointDescriptor& descriptor);
  // The device's default control endpoint 0.
  static EndpointDescriptor DefaultDescriptor(std::uint8_t maxPacketSize0);
  std::uint8_t recipient = 0;    // device
  std::uint8_t requestType = 2;
  std::uint8_t direction = 0;    // host to device
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::uint16_t index = 0;

 protected:
  Request BeginTransfer(const void* buffer, std::uint32_t length) override;
};

class BulkEndpoint : public UsbEndpoint {
 public:
  using UsbEndpoint::UsbEndpoint;

 protected:
  Request BeginTransfer(const void* buffer, std::uint32_t length) override;
};

class InterruptEndpoint : public BulkEndpoint {
 public:
  using BulkEndpoint::BulkEndpoint;
};

class IsochronousEndpoint : public UsbEndpoint {
 public:
  using UsbEndpoint::UsbEndpoint;

 protected:
  Request BeginDirect(const void* buffer, std::uint32_t length) override;
  Request BeginBuffered(const void* buffer, std::uint32_t length) override;
  Request BeginTransfer(const void* buffer, std::uint32_t length) override;
};

// The endpoint object for a parsed descriptor, by its kind; null (an empty
// slot) when the descriptor names none.
std::unique_ptr<UsbEndpoint> MakeEndpoint(DriverApi& api, DriverHandle handle,
                                          const EndpointDescriptor& descriptor);

}  // namespace vantiro
