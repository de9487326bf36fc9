// The real link environment: the serial port component, the TCP worker on
// 127.0.0.1:4000, the host's own message loop and the USB libraries.
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

class UsbLibs final : public UsbLibraries {
 public:
  bool IsWow64() override {
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE k = GetModuleHandleA("kernel32");
    auto fn = k ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(k, "IsWow64Process"))) : nullptr;
    BOOL wow = FALSE;
    if (!fn || !fn(GetCurrentProcess(), &wow)) return false;
    return wow != FALSE;
  }
  int UsbInit(int timeoutMs) override { return USB_Init(timeoutMs); }
  int UsbOpen() override { return USB_Open(); }
  int UsbClose() override { return USB_Close(); }
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
        if (d->descriptor.idVendor == 0x0547 && d->descriptor.idProduct == 0x1003) ++n;
    return n;
  }
  // The link opens no libusb handle before the USB sensor side does.
  void LibUsbClose() override {}
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
