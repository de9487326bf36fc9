#pragma once
// The driver seam over Win32: SetupAPI enumeration of the driver's device
// interfaces, CreateFileA for overlapped I/O, DeviceIoControl with an
// OVERLAPPED and an event, CancelIo and CloseHandle.
#include "usblib/DriverApi.h"

namespace vantiro {

class Win32DriverApi : public DriverApi {
 public:
  int CountInterfaces(const InterfaceClassId& id) override;
  std::optional<std::string> InterfacePath(const InterfaceClassId& id, int n) override;
  DriverHandle Open(const std::string& path) override;
  bool Close(DriverHandle handle) override;
  StartedRequest Start(DriverHandle handle, std::uint32_t code, std::unique_ptr<IoBuffers> buffers) override;
  bool CancelIo(DriverHandle handle) override;
};

}  // namespace vantiro
