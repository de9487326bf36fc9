#pragma once
// A simulated chip-vendor USB driver: devices that can be plugged and
// unplugged, their descriptors and strings, queues behind bulk endpoints 0x83
// and 0x04, transfers that end at once, pend then end, pend until the pipe is
// aborted or never end, injected failures, handles that refuse to close, and
// a log of every request with its input bytes.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/usbdriver/SimUsbDescriptors.h"
#include "usblib/DriverApi.h"

namespace pelsim {

// What the next transfer on a pipe does.
enum class SimBehaviour {
  Immediate,         // ends inside the request call
  PendThenEnd,       // pending, ends at the first wait
  PendUntilAbort,    // pending until the pipe is aborted or the request cancelled
  EndsOnlyOnCancel,  // ignores the abort; the cancel ends it
  NeverEnds,         // ignores abort and cancel
};

// What sits behind a device's bulk pipes 0x04 and 0x83 (a simulated sensor):
// it takes each OUT transfer and gives the next IN transfer when it has one. Called with
// the driver's lock held, so it never calls back into the driver.
class SimUsbPeer {
 public:
  virtual ~SimUsbPeer() = default;
  virtual void Received(const std::vector<std::uint8_t>& bytes) = 0;
  virtual std::optional<std::vector<std::uint8_t>> Next() = 0;
  // False once the device has left the bus by itself.
  virtual bool Present() = 0;
};

struct SimDeviceProfile {
  std::uint16_t vendorId = 0x0547;
  std::uint16_t productId = 0x1003;
  std::vector<std::uint16_t> languages = {0x0409};
  std::u16string manufacturer = u"Pelmora";
  std::u16string product = u"USB Sensor";
  std::u16string serial = u"0001";
  // Raw string descriptors by index, replacing the texts above.
  std::map<std::uint8_t, std::vector<std::uint8_t>> rawStrings;
  std::vector<std::uint8_t> configuration = SensorConfiguration();
  std::optional<std::vector<std::uint8_t>> rawDeviceDescriptor;
  std::uint8_t configurationCount = 1;
  std::uint32_t driverVersion = 0x01050500;
  std::uint8_t alternateSetting = 0;
  std::uint32_t busSpeed = 2;
  std::uint32_t transferSize = 4096;
  std::string deviceName = "SimUsb-0";
  std::string friendlyName = "Simulated USB sensor";
  std::shared_ptr<SimUsbPeer> peer;  // none: the queues and the log only
};

struct SimLogEntry {
  enum Kind { Request, Cancel, Close, CloseRefused } kind = Request;
  int device = -1;
  std::uint32_t code = 0;
  std::vector<std::uint8_t> in;  // input bytes as sent
  std::uint32_t outSize = 0;
};

class SimUsbDriver : public vantiro::DriverApi {
 public:
  SimUsbDriver();
  ~SimUsbDriver() override;

  int Plug(SimDeviceProfile profile);  // returns the device id
  void Unplug(int device);
  // Queues bytes the device sends on its IN pipe (one transfer each).
  void QueueIn(int device, std::vector<std::uint8_t> bytes, std::uint8_t pipe = 0x83);
  // Behaviour of the next transfers on a pipe, in order; then Immediate.
  void NextTransfers(int device, std::uint8_t pipe, std::vector<SimBehaviour> behaviours);
  // Next transfer on the pipe ends with these USBD and NT statuses.
  void FailNextTransfer(int device, std::uint8_t pipe, std::uint32_t usbdStatus, std::uint32_t ntStatus);
  // Next transfer on the pipe reports this byte count, whatever it moved (a
  // misbehaving driver).
  void ReportBytesNext(int device, std::uint8_t pipe, std::uint32_t bytes);
  // The next n CloseHandle calls fail.
  void RefuseCloses(int n);
  // Requests with this code are refused at once with the error.
  void RefuseCode(std::uint32_t code, std::uint32_t error);

  std::vector<std::vector<std::uint8_t>> Written(int device, std::uint8_t pipe = 0x04) const;
  std::vector<SimLogEntry> Log() const;
  std::vector<SimLogEntry> Requests(std::uint32_t code) const;
  void ClearLog();
  int OpenHandles() const;
  int PendingRequests() const;

  // DriverApi
  int CountInterfaces(const vantiro::InterfaceClassId& id) override;
  std::optional<std::string> InterfacePath(const vantiro::InterfaceClassId& id, int n) override;
  vantiro::DriverHandle Open(const std::string& path) override;
  bool Close(vantiro::DriverHandle handle) override;
  vantiro::StartedRequest Start(vantiro::DriverHandle handle, std::uint32_t code,
                                std::unique_ptr<vantiro::IoBuffers> buffers) override;
  bool CancelIo(vantiro::DriverHandle handle) override;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace pelsim
