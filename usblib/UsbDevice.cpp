#include "usblib/UsbDevice.h"

#include <algorithm>
#include <cstring>

#include "usblib/DriverError.h"
#include "usblib/DriverIo.h"
#include "usblib/UsbRecords.h"

namespace vantiro {

namespace {
constexpr std::uint8_t kGetDescriptor = 6;
constexpr std::uint16_t kDeviceDescriptorValue = 0x0100;
constexpr std::uint16_t kConfigurationValue = 0x0200;
constexpr std::uint16_t kStringValue = 0x0300;
constexpr std::size_t kNameBytes = 256;
constexpr std::uint32_t kHighSpeed = 2;

std::string TextOf(const std::vector<std::uint8_t>& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), 0);
  return std::string(bytes.begin(), end);
}

std::uint32_t Le32Of(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 4 ? GetLe32(bytes, 0) : 0;
}
}  // namespace

UsbInterfaceSetting::UsbInterfaceSetting(DriverApi& api, DriverHandle handle,
                                         InterfaceDescriptorSet descriptor)
    : descriptor_(std::move(descriptor)) {
  for (const auto& e : descriptor_.endpoints) endpoints_.push_back(MakeEndpoint(api, handle, e));
}

UsbConfiguration::UsbConfiguration(DriverApi& api, DriverHandle handle,
                                   ConfigurationDescriptorSet descriptor, std::vector<std::uint8_t> raw)
    : descriptor_(std::move(descriptor)), raw_(std::move(raw)) {
  for (const auto& s : descriptor_.interfaces) {
    settings_.push_back(std::make_unique<UsbInterfaceSetting>(api, handle, s));
  }
}

UsbDevice::UsbDevice(DriverApi& api, bool openNow, const InterfaceClassId& id)
    : api_(api), classId_(id) {
  if (openNow) Open(0);
}

UsbDevice::~UsbDevice() {
  try {
    Close();
  } catch (const UsbDriverError&) {
    // Nothing may leave a destructor; the handle stays with the process.
  }
}

std::uint8_t UsbDevice::CountDevices() {
  const int n = api_.CountInterfaces(classId_);
  presentCount_ = static_cast<std::uint8_t>(std::clamp(n, 0, 255));
  return presentCount_;
}

bool UsbDevice::CreateHandle(int n) {
  const int count = CountDevices();
  if (count == 0 || n < 0 || n > count - 1) return false;
  auto path = api_.InterfacePath(classId_, n);
  if (!path) return false;
  const DriverHandle h = api_.Open(*path);
  if (h == kInvalidDriverHandle) return false;
  handle_ = h;
  path_ = *path;
  return true;
}

void UsbDevice::ClearState() {
  deviceNumber_ = 0;
  path_.clear();
  device_ = {};
  language_ = 0;
  manufacturer_.clear();
  product_.clear();
  serial_.clear();
  deviceName_.clear();
  friendlyName_.clear();
  driverVersion_ = usbdiVersion_ = 0;
  address_ = 0;
  highSpeed_ = false;
  current_ = nullptr;
  bulkIn_ = bulkOut_ = interruptIn_ = interruptOut_ = isoIn_ = isoOut_ = nullptr;
  control_.reset();
  for (auto& c : configurations_) c.reset();
  configurationValue_ = configAttributes_ = maxPower_ = 0;
  interfaceCount_ = interfaceRecords_ = interfaceNumber_ = 0;
  interfaceClass_ = interfaceSubClass_ = interfaceProtocol_ = 0;
}

void UsbDevice::Close() {
  if (handle_ != kInvalidDriverHandle) {
    if (!api_.Close(handle_)) throw UsbDriverError();
    handle_ = kInvalidDriverHandle;
  }
  ClearState();
}

bool UsbDevice::Open(int n) {
  if (IsOpen()) Close();
  ClearState();
  if (!CreateHandle(n)) return false;
  deviceNumber_ = n;
  if (auto bytes = ReadDescriptor(kDeviceDescriptorValue, 0, kDeviceDescriptorSize)) {
    if (auto d = ParseDeviceDescriptor(*bytes)) device_ = *d;
  }
  ReadLanguage();
  ReadString(device_.manufacturerIndex, manufacturer_);
  ReadString(device_.productIndex, product_);
  ReadString(device_.serialIndex, serial_);
  if (auto b = Query(ioctl::kUsbAddress, 1); b && !b->empty()) address_ = (*b)[0];
  if (auto b = Query(ioctl::kDeviceName, kNameBytes)) deviceName_ = TextOf(*b);
  if (auto b = Query(ioctl::kFriendlyName, kNameBytes)) friendlyName_ = TextOf(*b);
  if (auto b = Query(ioctl::kDriverVersion, 4)) driverVersion_ = Le32Of(*b);
  if (auto b = Query(ioctl::kUsbdiVersion, 4)) usbdiVersion_ = Le32Of(*b);
  if (auto b = Query(ioctl::kBusSpeed, 4)) highSpeed_ = Le32Of(*b) == kHighSpeed;
  const std::size_t configs = std::min<std::size_t>(device_.configurationCount, kMaxConfigurations);
  for (std::size_t i = 0; i < configs; ++i) ReadConfiguration(i);
  control_ = std::make_unique<ControlEndpoint>(api_, handle_,
                                               ControlEndpoint::DefaultDescriptor(device_.maxPacketSize0));
  if (configurations_[0] && configurations_[0]->SettingCount() > 0) {
    SelectConfiguration0();
    return Usable();
  }
  return false;
}

std::optional<std::vector<std::uint8_t>> UsbDevice::Query(std::uint32_t code, std::size_t size) {
  auto buffers = std::make_unique<IoBuffers>();
  buffers->shared = true;
  buffers->in.assign(size, 0);
  RequestResult r = RunRequest(api_, handle_, code, std::move(buffers), kDescriptorTimeoutMs);
  if (!r.ok || r.bytes == 0) return std::nullopt;
  lastBytes_ = r.bytes;
  std::vector<std::uint8_t> out = std::move(r.request->Buffers().in);
  out.resize(std::min<std::size_t>(r.bytes, out.size()));
  return out;
}

std::optional<std::vector<std::uint8_t>> UsbDevice::ReadDescriptor(std::uint16_t value, std::uint16_t index,
                                                                   std::uint16_t length) {
  TransferRecord record;
  record.requestType = 0x80;
  record.request = kGetDescriptor;
  record.value = value;
  record.index = index;
  record.length = length;
  record.timeoutSeconds = kDescriptorTimeoutMs / 1000;
  record.dataOffset = kTransferRecordSize;
  record.dataLength = length;
  auto buffers = std::make_unique<IoBuffers>();
  buffers->shared = true;
  buffers->in.assign(kTransferRecordSize + length, 0);
  record.WriteTo(buffers->in);
  RequestResult r = RunRequest(api_, handle_, ioctl::kControlTransfer, std::move(buffers),
                               kDescriptorTimeoutMs + kSettleWaitMs);
  if (!r.request) return std::nullopt;
  const auto& bytes = r.request->Buffers().in;
  TransferRecord answer;
  if (!TransferRecord::ReadFrom(bytes, answer)) return std::nullopt;
  usbdStatus_ = answer.usbdStatus;
  ntStatus_ = answer.ntStatus;
  lastBytes_ = r.bytes;
  if (!r.ok || answer.usbdStatus != 0 || answer.ntStatus != 0) return std::nullopt;
  const std::size_t got = r.bytes > kTransferRecordSize ? r.bytes - kTransferRecordSize : 0;
  const std::size_t n = std::min<std::size_t>({got, length, bytes.size() - kTransferRecordSize});
  return std::vector<std::uint8_t>(bytes.begin() + kTransferRecordSize,
                                   bytes.begin() + kTransferRecordSize + n);
}

void UsbDevice::ReadLanguage() {
  language_ = 0;
  auto head = ReadDescriptor(kStringValue, 0, 2);
  if (!head || head->size() < 2 || (*head)[0] < 2) return;
  if (auto all = ReadDescriptor(kStringValue, 0, (*head)[0])) language_ = ChooseLanguage(*all);
}

void UsbDevice::ReadString(std::uint8_t index, std::u16string& target) {
  // Index 0 names no string (descriptor 0 is the language list).
  if (index == 0) return;
  const std::uint16_t value = static_cast<std::uint16_t>(kStringValue + index);
  auto head = ReadDescriptor(value, language_, 2);
  if (!head || head->size() < 2 || (*head)[0] <= 2) return;
  auto all = ReadDescriptor(value, language_, (*head)[0]);
  if (!all) return;
  if (auto text = ParseStringDescriptor(*all)) target = *text;
}

void UsbDevice::ReadConfiguration(std::size_t i) {
  const std::uint16_t value = static_cast<std::uint16_t>(kConfigurationValue + i);
  auto head = ReadDescriptor(value, 0, 9);
  if (!head || head->size() < 9) return;
  const std::uint16_t total = std::max<std::uint16_t>(GetLe16(*head, 2), 9);
  auto all = ReadDescriptor(value, 0, total);
  if (!all) return;
  if (auto parsed = ParseConfiguration(*all)) {
    configurations_[i] = std::make_unique<UsbConfiguration>(api_, handle_, std::move(*parsed), std::move(*all));
  }
}

void UsbDevice::SelectConfiguration0() {
  const UsbConfiguration& config = *configurations_[0];
  const auto& d = config.Descriptor();
  configurationValue_ = d.configurationValue;
  configAttributes_ = d.attributes;
  maxPower_ = d.maxPower;
  interfaceCount_ = d.interfaceCount;
  interfaceRecords_ = static_cast<std::uint8_t>(config.SettingCount());
  interfaceNumber_ = config.Setting(0).Descriptor().interfaceNumber;
  std::uint8_t alternate = 0xFF;
  if (auto b = Query(ioctl::kAlternateSetting, 1); b && !b->empty()) alternate = (*b)[0];
  for (std::size_t i = 0; i < config.SettingCount(); ++i) {
    UsbInterfaceSetting& s = config.Setting(i);
    if (s.Descriptor().alternateSetting != alternate) continue;
    interfaceClass_ = s.Descriptor().interfaceClass;
    interfaceSubClass_ = s.Descriptor().subClass;
    interfaceProtocol_ = s.Descriptor().protocol;
    BindEndpoints(s);
    return;
  }
}

void UsbDevice::BindEndpoints(UsbInterfaceSetting& setting) {
  current_ = &setting;
  bulkIn_ = bulkOut_ = interruptIn_ = interruptOut_ = isoIn_ = isoOut_ = nullptr;
  for (std::size_t i = 0; i < setting.ParsedCount(); ++i) {
    UsbEndpoint* e = setting.Parsed(i);
    if (!e) continue;
    if (driverVersion_ < kDirectModeDriverVersion) e->buffered = true;
    UsbEndpoint** in = nullptr;
    UsbEndpoint** out = nullptr;
    switch (e->Kind()) {
      case EndpointKind::Isochronous: in = &isoIn_; out = &isoOut_; break;
      case EndpointKind::Bulk: in = &bulkIn_; out = &bulkOut_; break;
      case EndpointKind::Interrupt: in = &interruptIn_; out = &interruptOut_; break;
      case EndpointKind::Control: continue;
    }
    UsbEndpoint*& slot = e->DirectionIn() ? *in : *out;
    if (!slot) slot = e;
  }
}

std::uint8_t UsbDevice::EndpointCount() const {
  if (!IsOpen() || !current_) return 0;
  return static_cast<std::uint8_t>(current_->ParsedCount() + 1);
}

UsbEndpoint* UsbDevice::Endpoint(std::size_t i) const {
  if (!IsOpen() || !current_) return nullptr;
  if (i == 0) return control_.get();
  if (i > current_->ParsedCount()) return nullptr;
  return current_->Parsed(i - 1);
}

std::size_t UsbDevice::ConfigurationCount() const {
  return static_cast<std::size_t>(std::count_if(configurations_.begin(), configurations_.end(),
                                                [](const auto& c) { return c != nullptr; }));
}

bool UsbDevice::ResetPort() {
  auto buffers = std::make_unique<IoBuffers>();
  return RunRequest(api_, handle_, ioctl::kResetPort, std::move(buffers), kDescriptorTimeoutMs).ok;
}

}  // namespace vantiro
