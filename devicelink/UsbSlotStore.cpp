// The USB sensor slot list in the current user's registry.
#include "devicelink/PelmoraUsb.h"
#include "platform/Registry.h"

using namespace pel::link;
namespace usb = pel::usb;

std::array<std::string, usb::kSlots> UsbSensorsLink::RegistryStore::Load() {
  std::array<std::string, usb::kSlots> ids;
  for (int i = 0; i < usb::kSlots; ++i)
    ids[static_cast<std::size_t>(i)] = pel::reg::readString(pel::reg::Root::CurrentUser, kUsbSlotKey, std::to_string(i));
  return ids;
}

void UsbSensorsLink::RegistryStore::Save(const std::array<std::string, usb::kSlots>& ids) {
  for (int i = 0; i < usb::kSlots; ++i)
    pel::reg::writeString(pel::reg::Root::CurrentUser, kUsbSlotKey, std::to_string(i), ids[static_cast<std::size_t>(i)]);
}

