#include "usblib/UsbLibrary.h"

#include <algorithm>

namespace vantiro {

UsbLibrary::UsbLibrary(DriverApi& api) : api_(api) {}

UsbLibrary::~UsbLibrary() = default;  // device destructors swallow a refused close

void UsbLibrary::ForgetPipes() {
  inPipes_.fill(nullptr);
  outPipes_.fill(nullptr);
  matched_ = 0;
}

void UsbLibrary::CloseAll() {
  // Pipes point into the devices' endpoints: forget them before any device
  // is closed, so a close that throws part-way leaves none dangling.
  ForgetPipes();
  if (probeDevice_) {
    probeDevice_->Close();
    probeDevice_.reset();
  }
  for (auto& slot : deviceSlots_) {
    if (!slot) continue;
    slot->Close();
    slot.reset();
  }
}

int UsbLibrary::Init(int timeoutMs) {
  std::lock_guard guard(lock_);
  transferTimeoutMs_ = static_cast<std::uint32_t>(std::max(timeoutMs, 0));
  // A second Init forgets the table; closing the objects (errors swallowed
  // as in their destructors) keeps their handles from leaking.
  ForgetPipes();
  probeDevice_.reset();
  for (auto& slot : deviceSlots_) slot.reset();
  return 1;
}

int UsbLibrary::Open() {
  std::lock_guard guard(lock_);
  CloseAll();
  probeDevice_ = std::make_unique<UsbDevice>(api_, true);
  for (auto& slot : deviceSlots_) slot = std::make_unique<UsbDevice>(api_, true);
  return Match();
}

int UsbLibrary::Close() {
  std::lock_guard guard(lock_);
  CloseAll();
  return kCloseResult;
}

int UsbLibrary::Match() {
  ForgetPipes();
  const int present = probeDevice_->CountDevices();
  if (present == 0) return 0;
  int k = 0;
  for (int i = 0; i < present && i < kMaxMatched && k < kMaxMatched; ++i) {
    UsbDevice& device = *deviceSlots_[i];
    // A device that could not be opened keeps no descriptor to match on.
    if (!device.Open(i)) continue;
    if (device.VendorId() != kSensorVendorId || device.ProductId() != kSensorProductId) continue;
    productNames_[k] = device.Product().substr(0, kProductNameUnits - 1);
    for (std::size_t e = 1; e < device.EndpointCount(); ++e) {
      UsbEndpoint* endpoint = device.Endpoint(e);
      if (!endpoint || endpoint->Kind() != EndpointKind::Bulk) continue;
      if (endpoint->Address() == kSensorInPipe) inPipes_[k] = endpoint;
      else if (endpoint->Address() == kSensorOutPipe) outPipes_[k] = endpoint;
      else continue;
      endpoint->timeoutMs = transferTimeoutMs_;
    }
    ++k;
  }
  matched_ = k;
  return k;
}

int UsbLibrary::Read(void* buffer, int length, int deviceIndex) {
  std::lock_guard guard(lock_);
  if (!probeDevice_) return -1;
  if (probeDevice_->CountDevices() == 0) return 0;
  if (!IsMatched(deviceIndex) || !inPipes_[deviceIndex] || !buffer || length < 0) return -1;
  UsbEndpoint& pipe = *inPipes_[deviceIndex];
  pipe.timeoutMs = transferTimeoutMs_;
  std::uint32_t n = static_cast<std::uint32_t>(length);
  if (!pipe.Transfer(buffer, n)) return -1;
  return static_cast<int>(std::min<std::uint32_t>(n, static_cast<std::uint32_t>(length)));
}

int UsbLibrary::Write(const void* buffer, int length, int deviceIndex) {
  std::lock_guard guard(lock_);
  if (!probeDevice_) return 0;
  if (probeDevice_->CountDevices() == 0) return 0;
  if (!IsMatched(deviceIndex) || !outPipes_[deviceIndex] || !buffer || length < 0) return 0;
  UsbEndpoint& pipe = *outPipes_[deviceIndex];
  pipe.timeoutMs = transferTimeoutMs_;
  std::uint32_t n = static_cast<std::uint32_t>(length);
  // The endpoint copies an OUT buffer and never writes to it.
  return pipe.Transfer(const_cast<void*>(buffer), n) ? 1 : 0;
}

int UsbLibrary::CheckOpen() {
  std::lock_guard guard(lock_);
  return probeDevice_ ? probeDevice_->CountDevices() : 0;
}

int UsbLibrary::CheckDevice() {
  std::lock_guard guard(lock_);
  return probeDevice_ ? Match() : 0;
}

int UsbLibrary::ProductName(std::u16string& name, int deviceIndex) {
  std::lock_guard guard(lock_);
  if (!probeDevice_) return -2;
  const int present = probeDevice_->CountDevices();
  if (deviceIndex < 0 || deviceIndex >= present || deviceIndex >= kMaxMatched) return -1;
  name = productNames_[deviceIndex];
  return present;
}

int UsbLibrary::GetXferSize(int deviceIndex) {
  std::lock_guard guard(lock_);
  if (!probeDevice_ || !IsMatched(deviceIndex) || !outPipes_[deviceIndex]) return 0;
  return static_cast<int>(outPipes_[deviceIndex]->TransferSize());
}

int UsbLibrary::Reset() {
  std::lock_guard guard(lock_);
  if (probeDevice_) probeDevice_->ResetPort();
  return 1;
}

}  // namespace vantiro
