// The real link environment: the serial port component, the TCP worker on
// 127.0.0.1:4000, the host's own message loop and the USB libraries.
#include <cstdint>
#include <memory>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/WinsockDaemon.h"
#include "platform/HandOver.h"
#include "platform/MessageLoop.h"
#include "platform/SerialPort.h"
#include "platform/libusb0.h"
#include "usblib/Vantiro.h"

using namespace pel::link;

namespace {

class ComPort final : public SerialLink {
 public:
  std::string PortList() override { return pel::SerialPort::portList(); }
  void SetPort(const std::string& name) override { port_.setPort(name); }
  void Open() override { port_.open(); }
  void Close() override { port_.close(); }
  bool IsOpen() const override { return port_.isOpen(); }
  void WriteStr(const std::string& text) override { port_.writeStr(text); }
  std::string ReadStr(std::size_t count) override { return port_.readStr(count); }
  std::size_t Read(void* buffer, std::size_t count) override { return port_.read(buffer, count); }
  void SetOnRxChar(std::function<void(std::size_t)> h) override { port_.setOnRxChar(std::move(h)); }
  void SetOnGone(std::function<void()> h) override { port_.setOnGone(std::move(h)); }
  bool InHandOver() const override { return port_.inHandler(); }

 private:
  pel::SerialPort port_;
};

class WindowsHostLoop final : public HostLoop {
 public:
  void SleepMs(int ms) override { Sleep(static_cast<DWORD>(ms)); }
  void PumpMessages() override { pel::pumpMessages(); }
  void RunPendingHandOvers() override { pel::HandOver::instance().runPending(); }
};

// libusb handles of the USB sensors, released and closed when dropped.
struct LibUsbClose {
  void operator()(usb_dev_handle* h) const {
    usb_release_interface(h, 0);
    usb_close(h);
  }
};
using LibUsbHandle = std::unique_ptr<usb_dev_handle, LibUsbClose>;

constexpr std::uint16_t kSensorVendor = 0x0547;
constexpr std::uint16_t kSensorProduct = 0x1003;
constexpr int kEndpointOut = 0x04;
constexpr int kEndpointIn = 0x83;

// Owned by the environment the component holds; used on the thread the
// component's USB side serialises its transfers on.
class UsbLibs final : public UsbLibraries {
 public:
  bool IsWow64() override {
    std::string message;
    return TPelmora::IsWow64(message);
  }
  int UsbInit(int timeoutMs) override { return USB_Init(timeoutMs); }
  // A driver handle that cannot be closed throws, as the link expects.
  int UsbOpen() override { return vantiro::OpenOrThrow(); }
  int UsbClose() override { return vantiro::CloseOrThrow(); }
  int UsbCheckOpen() override { return USB_CheckOpen(); }
  int UsbWrite(const void* buffer, int length, int device) override { return USB_Write(buffer, length, device); }
  int UsbRead(void* buffer, int length, int device) override { return USB_Read(buffer, length, device); }
  void LibUsbInit() override {
    usb_init();
    usb_set_debug(3);
    usb_find_busses();
  }
  // USB sensors (0x0547:0x1003) on every bus; 0 when there is no bus.
  int LibUsbCount() override {
    usb_find_devices();
    int n = 0;
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
      for (usb_device* d = bus->devices; d; d = d->next)
        if (d->descriptor.idVendor == kSensorVendor && d->descriptor.idProduct == kSensorProduct) ++n;
    return n;
  }
  void LibUsbClose() override { handles_.clear(); }
  int LibUsbOpen() override {
    handles_.clear();
    usb_find_devices();
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next) {
      for (usb_device* d = bus->devices; d && handles_.size() < 8; d = d->next) {
        if (d->descriptor.idVendor != kSensorVendor || d->descriptor.idProduct != kSensorProduct) continue;
        LibUsbHandle h(usb_open(d));
        if (!h) continue;
        usb_set_configuration(h.get(), 1);
        usb_claim_interface(h.get(), 0);
        handles_.push_back(std::move(h));
      }
    }
    return static_cast<int>(handles_.size());
  }
  int LibUsbWrite(int device, const void* buffer, int length, int timeoutMs) override {
    usb_dev_handle* h = handle(device);
    if (!h) return -1;
    return usb_bulk_write(h, kEndpointOut, static_cast<char*>(const_cast<void*>(buffer)), length, timeoutMs);
  }
  int LibUsbRead(int device, void* buffer, int length, int timeoutMs) override {
    usb_dev_handle* h = handle(device);
    if (!h) return -1;
    return usb_bulk_read(h, kEndpointIn, static_cast<char*>(buffer), length, timeoutMs);
  }

 private:
  usb_dev_handle* handle(int device) const {
    return device >= 0 && device < static_cast<int>(handles_.size()) ? handles_[static_cast<std::size_t>(device)].get()
                                                                      : nullptr;
  }
  std::vector<LibUsbHandle> handles_;  // in the order found
};

}  // namespace

LinkEnvironment TPelmora::DefaultEnvironment() {
  LinkEnvironment env;
  env.makeSerial = [] { return std::make_unique<ComPort>(); };
  env.makeWorker = [] { return std::make_unique<TWinsockDaemon>(); };
  env.host = std::make_shared<WindowsHostLoop>();
  env.usb = std::make_shared<UsbLibs>();
  return env;
}
