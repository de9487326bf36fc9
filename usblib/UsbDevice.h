#pragma once
// One device of the chip vendor's driver: its handle, descriptors, strings,
// parsed configurations and the endpoints of the selected interface setting.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "usblib/DriverApi.h"
#include "usblib/UsbDescriptors.h"
#include "usblib/UsbEndpoint.h"

namespace vantiro {

// Below this driver version every endpoint runs in buffered mode.
inline constexpr std::uint32_t kDirectModeDriverVersion = 0x01050500;
inline constexpr std::uint32_t kDescriptorTimeoutMs = 5000;
inline constexpr std::size_t kMaxConfigurations = 2;

class UsbInterfaceSetting {
 public:
  UsbInterfaceSetting(DriverApi& api, DriverHandle handle, InterfaceDescriptorSet descriptor);
  const InterfaceDescriptorSet& Descriptor() const { return descriptor_; }
  // Slots 1..count of the parsed endpoints (null where the descriptor named
  // no kind); slot 0 is the device's control endpoint once the setting is bound.
  std::size_t ParsedCount() const { return endpoints_.size(); }
  UsbEndpoint* Parsed(std::size_t i) const { return endpoints_[i].get(); }

 private:
  InterfaceDescriptorSet descriptor_;
  std::vector<std::unique_ptr<UsbEndpoint>> endpoints_;
};

class UsbConfiguration {
 public:
  UsbConfiguration(DriverApi& api, DriverHandle handle, ConfigurationDescriptorSet descriptor,
                   std::vector<std::uint8_t> raw);
  const ConfigurationDescriptorSet& Descriptor() const { return descriptor_; }
  const std::vector<std::uint8_t>& Raw() const { return raw_; }
  std::size_t SettingCount() const { return settings_.size(); }
  UsbInterfaceSetting& Setting(std::size_t i) const { return *settings_[i]; }

 private:
  ConfigurationDescriptorSet descriptor_;
  std::vector<std::uint8_t> raw_;
  std::vector<std::unique_ptr<UsbInterfaceSetting>> settings_;
};

class UsbDevice {
 public:
  explicit UsbDevice(DriverApi& api, bool openNow = false,
                     const InterfaceClassId& id = kDriverInterfaceClass);
  // Closes; a handle that refuses to close is left to the process.
  ~UsbDevice();
  UsbDevice(const UsbDevice&) = delete;
  UsbDevice& operator=(const UsbDevice&) = delete;

  // Opens interface n of the class; false when it cannot be opened or has no
  // usable configuration. A failed open leaves every descriptor field cleared.
  bool Open(int n);
  // Throws UsbDriverError when the handle refuses to close; the device then
  // keeps its handle and everything it had read.
  void Close();
  std::uint8_t CountDevices();
  bool ResetPort();

  bool IsOpen() const { return handle_ != kInvalidDriverHandle; }
  bool Usable() const { return current_ != nullptr; }
  // Endpoints of the current setting plus the control endpoint; 0 when closed
  // or without configuration.
  std::uint8_t EndpointCount() const;
  // 0 is the control endpoint, 1..EndpointCount()-1 the setting's endpoints
  // (null for an empty slot).
  UsbEndpoint* Endpoint(std::size_t i) const;

  const DeviceDescriptor& Device() const { return device_; }
  std::uint16_t VendorId() const { return device_.vendorId; }
  std::uint16_t ProductId() const { return device_.productId; }
  std::uint16_t LanguageId() const { return language_; }
  const std::u16string& Manufacturer() const { return manufacturer_; }
  const std::u16string& Product() const { return product_; }
  const std::u16string& SerialNumber() const { return serial_; }
  const std::string& DeviceName() const { return deviceName_; }
  const std::string& FriendlyName() const { return friendlyName_; }
  const std::string& DevicePath() const { return path_; }
  std::uint32_t DriverVersion() const { return driverVersion_; }
  std::uint32_t UsbdiVersion() const { return usbdiVersion_; }
  std::uint8_t UsbAddress() const { return address_; }
  bool HighSpeed() const { return highSpeed_; }
  int DeviceNumber() const { return deviceNumber_; }
  std::uint8_t PresentCount() const { return presentCount_; }
  std::uint32_t UsbdStatus() const { return usbdStatus_; }
  std::uint32_t NtStatus() const { return ntStatus_; }
  std::size_t ConfigurationCount() const;
  const UsbConfiguration* Configuration(std::size_t i) const { return configurations_[i].get(); }
  const UsbInterfaceSetting* CurrentSetting() const { return current_; }
  std::uint8_t ConfigurationValue() const { return configurationValue_; }
  std::uint8_t InterfaceNumber() const { return interfaceNumber_; }
  std::uint8_t InterfaceClass() const { return interfaceClass_; }

  // First endpoint of each type and direction in the current setting.
  UsbEndpoint* BulkIn() const { return bulkIn_; }
  UsbEndpoint* BulkOut() const { return bulkOut_; }
  UsbEndpoint* InterruptIn() const { return interruptIn_; }
  UsbEndpoint* InterruptOut() const { return interruptOut_; }
  UsbEndpoint* IsoIn() const { return isoIn_; }
  UsbEndpoint* IsoOut() const { return isoOut_; }

 private:
  bool CreateHandle(int n);
  void ClearState();
  std::optional<std::vector<std::uint8_t>> Query(std::uint32_t code, std::size_t size);
  std::optional<std::vector<std::uint8_t>> ReadDescriptor(std::uint16_t value, std::uint16_t index,
                                                          std::uint16_t length);
  void ReadString(std::uint8_t index, std::u16string& target);
  void ReadLanguage();
  void ReadConfiguration(std::size_t i);
  void SelectConfiguration0();
  void BindEndpoints(UsbInterfaceSetting& setting);

  DriverApi& api_;
  InterfaceClassId classId_;
  DriverHandle handle_ = kInvalidDriverHandle;
  int deviceNumber_ = 0;
  std::uint8_t presentCount_ = 0;
  std::string path_;
  DeviceDescriptor device_;
  std::uint16_t language_ = 0;
  std::u16string manufacturer_, product_, serial_;
  std::string deviceName_, friendlyName_;
  std::uint32_t driverVersion_ = 0, usbdiVersion_ = 0;
  std::uint8_t address_ = 0;
  bool highSpeed_ = false;
  std::uint32_t usbdStatus_ = 0, ntStatus_ = 0;
  std::uint32_t lastBytes_ = 0;
  std::array<std::unique_ptr<UsbConfiguration>, kMaxConfigurations> configurations_;
  std::uint8_t configurationValue_ = 0, configAttributes_ = 0, maxPower_ = 0;
  std::uint8_t interfaceCount_ = 0, interfaceRecords_ = 0, interfaceNumber_ = 0;
  std::uint8_t interfaceClass_ = 0, interfaceSubClass_ = 0, interfaceProtocol_ = 0;
  std::unique_ptr<ControlEndpoint> control_;
  UsbInterfaceSetting* current_ = nullptr;
  UsbEndpoint* bulkIn_ = nullptr;
  UsbEndpoint* bulkOut_ = nullptr;
  UsbEndpoint* interruptIn_ = nullptr;
  UsbEndpoint* interruptOut_ = nullptr;
  UsbEndpoint* isoIn_ = nullptr;
  UsbEndpoint* isoOut_ = nullptr;
};

}  // namespace vantiro
