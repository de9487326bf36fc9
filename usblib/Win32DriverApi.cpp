#include "usblib/Win32DriverApi.h"

#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <vector>

namespace vantiro {

namespace {

GUID ToGuid(const InterfaceClassId& id) {
  GUID g;
  g.Data1 = id.data1;
  g.Data2 = id.data2;
  g.Data3 = id.data3;
  std::memcpy(g.Data4, id.data4, sizeof g.Data4);
  return g;
}

// The class's list of present device interfaces, destroyed with the object.
class DeviceList {
 public:
  explicit DeviceList(const GUID& guid)
      : list_(SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
  ~DeviceList() {
    if (Valid()) SetupDiDestroyDeviceInfoList(list_);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  bool Valid() const { return list_ != INVALID_HANDLE_VALUE; }
  HDEVINFO Get() const { return list_; }

 private:
  HDEVINFO list_;
};

class Event {
 public:
  Event() : h_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~Event() {
    if (h_) CloseHandle(h_);
  }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

class Win32Request : public PendingRequest {
 public:
  Win32Request(HANDLE device, std::unique_ptr<IoBuffers> buffers)
      : device_(device), buffers_(std::move(buffers)) {
    overlapped_.hEvent = event_.Get();
  }
  bool HasEvent() const { return event_.Get() != nullptr; }
  OVERLAPPED* Overlapped() { return &overlapped_; }

  WaitResult Wait(std::uint32_t timeoutMs) override {
    switch (WaitForSingleObject(event_.Get(), timeoutMs)) {
      case WAIT_OBJECT_0: return WaitResult::Ended;
      case WAIT_TIMEOUT: return WaitResult::TimedOut;
      default: return WaitResult::Failed;
    }
  }

  bool Outcome(std::uint32_t& bytes, std::uint32_t& error) override {
    DWORD n = 0;
    if (!GetOverlappedResult(device_, &overlapped_, &n, FALSE)) {
      error = GetLastError();
      return false;
    }
    bytes = n;
    error = 0;
    return true;
  }

  IoBuffers& Buffers() override { return *buffers_; }

 private:
  HANDLE device_;
  std::unique_ptr<IoBuffers> buffers_;
  Event event_;
  OVERLAPPED overlapped_{};
};

HANDLE AsHandle(DriverHandle h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

int Win32DriverApi::CountInterfaces(const InterfaceClassId& id) {
  const GUID guid = ToGuid(id);
  DeviceList list(guid);
  if (!list.Valid()) return 0;
  int count = 0;
  for (DWORD i = 0; i < 256; ++i) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (SetupDiEnumDeviceInterfaces(list.Get(), nullptr, &guid, i, &data)) {
      ++count;
    } else if (GetLastError() == ERROR_NO_MORE_ITEMS) {
      break;
    }
  }
  return count;
}

std::optional<std::string> Win32DriverApi::InterfacePath(const InterfaceClassId& id, int n) {
  const GUID guid = ToGuid(id);
  DeviceList list(guid);
  if (!list.Valid() || n < 0) return std::nullopt;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  if (!SetupDiEnumDeviceInterfaces(list.Get(), nullptr, &guid, static_cast<DWORD>(n), &data)) {
    return std::nullopt;
  }
  DWORD needed = 0;
  SetupDiGetDeviceInterfaceDetailA(list.Get(), &data, nullptr, 0, &needed, nullptr);
  if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return std::nullopt;
  // The record sizes come from the structures themselves, so they are right
  // for either bitness.
  std::vector<std::uint8_t> storage(needed + sizeof(DWORD));
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  if (!SetupDiGetDeviceInterfaceDetailA(list.Get(), &data, detail, needed, nullptr, &info)) {
    return std::nullopt;
  }
  return std::string(detail->DevicePath);
}

DriverHandle Win32DriverApi::Open(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) return kInvalidDriverHandle;
  return reinterpret_cast<DriverHandle>(h);
}

bool Win32DriverApi::Close(DriverHandle handle) { return CloseHandle(AsHandle(handle)) != FALSE; }

StartedRequest Win32DriverApi::Start(DriverHandle handle, std::uint32_t code, std::unique_ptr<IoBuffers> buffers) {
  StartedRequest started;
  auto request = std::make_unique<Win32Request>(AsHandle(handle), std::move(buffers));
  if (!request->HasEvent()) {
    started.error = GetLastError();
    return started;
  }
  IoBuffers& b = request->Buffers();
  std::vector<std::uint8_t>& out = b.Output();
  const BOOL done = DeviceIoControl(AsHandle(handle), code, b.in.empty() ? nullptr : b.in.data(),
                                    static_cast<DWORD>(b.in.size()), out.empty() ? nullptr : out.data(),
                                    static_cast<DWORD>(out.size()), nullptr, request->Overlapped());
  // The thread's error code means something only when the call failed.
  started.error = done ? 0 : GetLastError();
  if (done || started.error == ERROR_IO_PENDING) started.request = std::move(request);
  return started;
}

bool Win32DriverApi::CancelIo(DriverHandle handle) { return ::CancelIo(AsHandle(handle)) != FALSE; }

}  // namespace vantiro
