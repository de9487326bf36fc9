// The USB sensor side's bus over the link environment's USB libraries:
// Vantiro's calls or libusb's, by the use-libusb flag.
#include <algorithm>

#include "devicelink/PelmoraUsb.h"

using namespace pel::link;
namespace usb = pel::usb;

int UsbSensorsLink::Bus::Count() {
  return TPelmora::State().useLibUsb ? libs_.LibUsbCount() : libs_.UsbCheckOpen();
}

void UsbSensorsLink::Bus::Reopen() {
  if (TPelmora::State().useLibUsb) {
    libs_.LibUsbClose();
    Pump();
    p_.F_.libUsbHandleCount = libs_.LibUsbOpen();
    Pump();
  } else {
    libs_.UsbClose();
    Pump();
    libs_.UsbOpen();
    Pump();
  }
}

bool UsbSensorsLink::Bus::Write(int device, const std::string& packet) {
  // Nothing goes out once the host let go, from any thread.
  if (p_.Released()) return false;
  try {
    const int n = static_cast<int>(packet.size());
    if (TPelmora::State().useLibUsb) return libs_.LibUsbWrite(device, packet.data(), n, TPelmora::State().usbTimeoutMs) >= 1;
    return libs_.UsbWrite(packet.data(), n, device) != 0;
  } catch (...) {
    return false;
  }
}

std::size_t UsbSensorsLink::Bus::Read(int device, std::uint8_t* buffer, std::size_t max) {
  try {
    const int len = static_cast<int>(std::min<std::size_t>(max, usb::kReadChunk));
    const int n = TPelmora::State().useLibUsb ? libs_.LibUsbRead(device, buffer, len, TPelmora::State().usbTimeoutMs)
                                              : libs_.UsbRead(buffer, len, device);
    return n > 0 ? std::min(static_cast<std::size_t>(n), static_cast<std::size_t>(len)) : 0;
  } catch (...) {
    return 0;
  }
}

bool UsbSensorsLink::Bus::ReadsUntilSilent() const { return TPelmora::State().useLibUsb; }

void UsbSensorsLink::Bus::Pump() { p_.Host().PumpMessages(); }

