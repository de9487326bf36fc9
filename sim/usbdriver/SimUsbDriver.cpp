#include "sim/usbdriver/SimUsbDriver.h"

#include <algorithm>
#include <cstring>

#include "usblib/UsbRecords.h"

namespace pelsim {

using vantiro::DriverHandle;
using vantiro::IoBuffers;
using vantiro::TransferRecord;
namespace ioctl = vantiro::ioctl;

namespace {
constexpr std::uint32_t kErrorIoIncomplete = 996;
constexpr std::uint32_t kErrorNotConnected = 1167;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kUsbdStall = 0xC0000004;
constexpr std::uint32_t kNtUnsuccessful = 0xC0000001;
constexpr std::uint32_t kMaxRealWaitMs = 60;

struct Device {
  int id = 0;
  SimDeviceProfile profile;
  bool plugged = true;
  std::map<std::uint8_t, std::deque<std::vector<std::uint8_t>>> inQueues;
  std::map<std::uint8_t, std::vector<std::vector<std::uint8_t>>> written;
  std::map<std::uint8_t, std::deque<SimBehaviour>> behaviours;
  std::map<std::uint8_t, std::pair<std::uint32_t, std::uint32_t>> failNext;
  std::map<std::uint8_t, std::uint32_t> reportBytes;
  bool Here() const { return plugged && (!profile.peer || profile.peer->Present()); }
};

void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::uint32_t& bytes) {
  std::fill(out.begin(), out.end(), 0);
  const std::size_t n = std::min(text.size(), out.empty() ? 0 : out.size() - 1);
  std::memcpy(out.data(), text.data(), n);
  bytes = static_cast<std::uint32_t>(out.empty() ? 0 : n + 1);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v, std::uint32_t& bytes) {
  if (out.size() < 4) return;
  vantiro::PutLe32(out, 0, v);
  bytes = 4;
}
}  // namespace

class SimRequest;

struct SimUsbDriver::State {
  std::mutex m;
  std::condition_variable cv;
  std::vector<std::unique_ptr<Device>> devices;
  std::map<DriverHandle, int> handles;
  DriverHandle nextHandle = 0x100;
  std::vector<SimLogEntry> log;
  int refuseCloses = 0;
  std::map<std::uint32_t, std::uint32_t> refusedCodes;
  std::vector<SimRequest*> pending;

  Device* Find(int id) {
    for (auto& d : devices) {
      if (d->id == id) return d.get();
    }
    return nullptr;
  }
  std::vector<Device*> Plugged() {
    std::vector<Device*> v;
    for (auto& d : devices) {
      if (d->Here()) v.push_back(d.get());
    }
    return v;
  }
};

class SimRequest : public vantiro::PendingRequest {
 public:
  SimRequest(std::shared_ptr<SimUsbDriver::State> state, DriverHandle handle, int device,
             std::uint32_t code, std::unique_ptr<IoBuffers> buffers, SimBehaviour behaviour, std::uint8_t pipe)
      : state_(std::move(state)), handle_(handle), device_(device), code_(code),
        buffers_(std::move(buffers)), behaviour_(behaviour), pipe_(pipe) {}

  ~SimRequest() override {
    std::lock_guard guard(state_->m);
    auto& p = state_->pending;
    p.erase(std::remove(p.begin(), p.end(), this), p.end());
  }

  vantiro::WaitResult Wait(std::uint32_t timeoutMs) override {
    std::unique_lock lock(state_->m);
    if (ended_) return vantiro::WaitResult::Ended;
    switch (behaviour_) {
      case SimBehaviour::Immediate:
      case SimBehaviour::PendThenEnd:
        PerformLocked();
        return vantiro::WaitResult::Ended;
      case SimBehaviour::PendUntilAbort:
      case SimBehaviour::EndsOnlyOnCancel:
        // Long waits are cut short: the host only learns that time passed.
        state_->cv.wait_for(lock, std::chrono::milliseconds(std::min(timeoutMs, kMaxRealWaitMs)),
                            [&] { return ended_; });
        return ended_ ? vantiro::WaitResult::Ended : vantiro::WaitResult::TimedOut;
      case SimBehaviour::NeverEnds:
        break;
    }
    return vantiro::WaitResult::TimedOut;
  }

  bool Outcome(std::uint32_t& bytes, std::uint32_t& error) override {
    std::lock_guard guard(state_->m);
    if (!ended_) {
      error = kErrorIoIncomplete;
      return false;
    }
    bytes = bytes_;
    error = error_;
    return error_ == 0;
  }

  IoBuffers& Buffers() override { return *buffers_; }

  // With the state's lock held.
  void PerformLocked();
  void EndLocked(std::uint32_t error) {
    ended_ = true;
    error_ = error;
    bytes_ = 0;
    state_->cv.notify_all();
  }
  bool Ended() const { return ended_; }
  DriverHandle Handle() const { return handle_; }
  int DeviceId() const { return device_; }
  std::uint8_t Pipe() const { return pipe_; }
  SimBehaviour Behaviour() const { return behaviour_; }

 private:
  void Control(Device& d);
  void Data(Device& d);

  std::shared_ptr<SimUsbDriver::State> state_;
  DriverHandle handle_;
  int device_;
  std::uint32_t code_;
  std::unique_ptr<IoBuffers> buffers_;
  SimBehaviour behaviour_;
  std::uint8_t pipe_;
  bool ended_ = false;
  std::uint32_t bytes_ = 0;
  std::uint32_t error_ = 0;
};

void SimRequest::PerformLocked() {
  ended_ = true;
  Device* d = state_->Find(device_);
  if (!d || !d->Here()) {
    error_ = kErrorNotConnected;
    return;
  }
  auto& out = buffers_->Output();
  switch (code_) {
    case ioctl::kDriverVersion: Put32(out, d->profile.driverVersion, bytes_); break;
    case ioctl::kUsbdiVersion: Put32(out, 0x00000500, bytes_); break;
    case ioctl::kBusSpeed: Put32(out, d->profile.busSpeed, bytes_); break;
    case ioctl::kAlternateSetting:
      if (!out.empty()) out[0] = d->profile.alternateSetting, bytes_ = 1;
      break;
    case ioctl::kUsbAddress:
      if (!out.empty()) out[0] = static_cast<std::uint8_t>(d->id + 1), bytes_ = 1;
      break;
    case ioctl::kDeviceName: PutText(out, d->profile.deviceName, bytes_); break;
    case ioctl::kFriendlyName: PutText(out, d->profile.friendlyName, bytes_); break;
    case ioctl::kResetPort: break;
    case ioctl::kAbortPipe: break;
    case ioctl::kTransferSize:
      if (out.size() >= vantiro::kTransferSizeRecordSize) {
        vantiro::PutLe32(out, 1, d->profile.transferSize);
        bytes_ = vantiro::kTransferSizeRecordSize;
      }
      break;
    case ioctl::kControlTransfer: Control(*d); break;
    case ioctl::kBufferedTransfer:
    case ioctl::kDirectTransfer: Data(*d); break;
    default: error_ = 1; break;  // ERROR_INVALID_FUNCTION
  }
}

void SimRequest::Control(Device& d) {
  auto& buf = buffers_->in;
  TransferRecord r;
  if (!TransferRecord::ReadFrom(buf, r)) {
    error_ = 87;  // ERROR_INVALID_PARAMETER
    return;
  }
  std::vector<std::uint8_t> answer;
  bool known = r.requestType == 0x80 && r.request == 6;
  if (known) {
    const std::uint8_t type = r.value >> 8, index = r.value & 0xFF;
    if (type == 1) {
      answer = d.profile.rawDeviceDescriptor.value_or(
          BuildDeviceDescriptor(d.profile.vendorId, d.profile.productId, d.profile.configurationCount));
    } else if (type == 2 && index < d.profile.configurationCount) {
      answer = d.profile.configuration;
    } else if (type == 3 && d.profile.rawStrings.count(index)) {
      answer = d.profile.rawStrings.at(index);
    } else if (type == 3 && index == 0) {
      answer = BuildLanguageList(d.profile.languages);
    } else if (type == 3 && index >= 1 && index <= 3) {
      answer = BuildStringDescriptor(index == 1 ? d.profile.manufacturer
                                     : index == 2 ? d.profile.product : d.profile.serial);
    } else {
      known = false;
    }
  }
  TransferRecord reply = r;
  if (!known) {
    reply.usbdStatus = kUsbdStall;
    reply.ntStatus = kNtUnsuccessful;
    reply.WriteTo(buf);
    bytes_ = vantiro::kTransferRecordSize;
    return;
  }
  const std::size_t room = buf.size() > r.dataOffset ? buf.size() - r.dataOffset : 0;
  const std::size_t n = std::min({answer.size(), static_cast<std::size_t>(r.length), room});
  std::memcpy(buf.data() + r.dataOffset, answer.data(), n);
  reply.WriteTo(buf);
  bytes_ = static_cast<std::uint32_t>(r.dataOffset + n);
}

void SimRequest::Data(Device& d) {
  TransferRecord r;
  if (!TransferRecord::ReadFrom(buffers_->in, r)) {
    error_ = 87;
    return;
  }
  const bool direct = code_ == ioctl::kDirectTransfer;
  std::vector<std::uint8_t>& data = direct ? buffers_->out : buffers_->in;
  const std::size_t start = direct ? 0 : r.dataOffset;
  const std::size_t room = data.size() > start ? data.size() - start : 0;
  const std::size_t length = direct ? room : std::min<std::size_t>(r.dataLength, room);
  TransferRecord reply = r;
  if (auto f = d.failNext.find(r.endpoint); f != d.failNext.end()) {
    reply.usbdStatus = f->second.first;
    reply.ntStatus = f->second.second;
    d.failNext.erase(f);
    reply.WriteTo(buffers_->in);
    bytes_ = static_cast<std::uint32_t>(start);
    return;
  }
  std::size_t n = 0;
  if (r.endpoint & 0x80) {
    auto& q = d.inQueues[r.endpoint];
    if (!q.empty()) {
      n = std::min(q.front().size(), length);
      std::memcpy(data.data() + start, q.front().data(), n);
      q.pop_front();
    }
  } else {
    n = length;
    d.written[r.endpoint].emplace_back(data.begin() + start, data.begin() + start + n);
    if (d.profile.peer && r.endpoint == 0x04) d.profile.peer->Received(d.written[r.endpoint].back());
  }
  if (r.tableOffset >= vantiro::kTransferRecordSize) {
    const std::size_t tableEnd = std::min<std::size_t>(std::size_t{r.tableOffset} + r.tableLength, buffers_->in.size());
    for (std::size_t at = r.tableOffset; at + 8 <= tableEnd; at += 8) {
      vantiro::PutLe32(buffers_->in, at, 0);
      vantiro::PutLe32(buffers_->in, at + 4, static_cast<std::uint32_t>(n));
    }
  }
  reply.WriteTo(buffers_->in);
  bytes_ = static_cast<std::uint32_t>(start + n);
  if (auto f = d.reportBytes.find(r.endpoint); f != d.reportBytes.end()) {
    bytes_ = f->second;
    d.reportBytes.erase(f);
  }
}

SimUsbDriver::SimUsbDriver() : state_(std::make_shared<State>()) {}
SimUsbDriver::~SimUsbDriver() = default;

int SimUsbDriver::Plug(SimDeviceProfile profile) {
  std::lock_guard guard(state_->m);
  auto d = std::make_unique<Device>();
  d->id = static_cast<int>(state_->devices.size());
  d->profile = std::move(profile);
  state_->devices.push_back(std::move(d));
  return state_->devices.back()->id;
}

void SimUsbDriver::Unplug(int device) {
  std::lock_guard guard(state_->m);
  if (Device* d = state_->Find(device)) d->plugged = false;
  for (SimRequest* r : state_->pending) {
    if (r->DeviceId() == device && !r->Ended()) r->EndLocked(kErrorNotConnected);
  }
}

void SimUsbDriver::QueueIn(int device, std::vector<std::uint8_t> bytes, std::uint8_t pipe) {
  std::lock_guard guard(state_->m);
  if (Device* d = state_->Find(device)) d->inQueues[pipe].push_back(std::move(bytes));
}

void SimUsbDriver::NextTransfers(int device, std::uint8_t pipe, std::vector<SimBehaviour> behaviours) {
  std::lock_guard guard(state_->m);
  if (Device* d = state_->Find(device)) {
    for (auto b : behaviours) d->behaviours[pipe].push_back(b);
  }
}

void SimUsbDriver::FailNextTransfer(int device, std::uint8_t pipe, std::uint32_t usbd, std::uint32_t nt) {
  std::lock_guard guard(state_->m);
  if (Device* d = state_->Find(device)) d->failNext[pipe] = {usbd, nt};
}

void SimUsbDriver::ReportBytesNext(int device, std::uint8_t pipe, std::uint32_t bytes) {
  std::lock_guard guard(state_->m);
  if (Device* d = state_->Find(device)) d->reportBytes[pipe] = bytes;
}

void SimUsbDriver::RefuseCloses(int n) {
  std::lock_guard guard(state_->m);
  state_->refuseCloses = n;
}

void SimUsbDriver::RefuseCode(std::uint32_t code, std::uint32_t error) {
  std::lock_guard guard(state_->m);
  state_->refusedCodes[code] = error;
}

std::vector<std::vector<std::uint8_t>> SimUsbDriver::Written(int device, std::uint8_t pipe) const {
  std::lock_guard guard(state_->m);
  Device* d = state_->Find(device);
  if (!d || !d->written.count(pipe)) return {};
  return d->written.at(pipe);
}

std::vector<SimLogEntry> SimUsbDriver::Log() const {
  std::lock_guard guard(state_->m);
  return state_->log;
}

std::vector<SimLogEntry> SimUsbDriver::Requests(std::uint32_t code) const {
  std::vector<SimLogEntry> v;
  for (auto& e : Log()) {
    if (e.kind == SimLogEntry::Request && e.code == code) v.push_back(e);
  }
  return v;
}

void SimUsbDriver::ClearLog() {
  std::lock_guard guard(state_->m);
  state_->log.clear();
}

int SimUsbDriver::OpenHandles() const {
  std::lock_guard guard(state_->m);
  return static_cast<int>(state_->handles.size());
}

int SimUsbDriver::PendingRequests() const {
  std::lock_guard guard(state_->m);
  return static_cast<int>(std::count_if(state_->pending.begin(), state_->pending.end(),
                                        [](SimRequest* r) { return !r->Ended(); }));
}

int SimUsbDriver::CountInterfaces(const vantiro::InterfaceClassId& id) {
  if (std::memcmp(&id, &vantiro::kDriverInterfaceClass, sizeof id) != 0) return 0;
  std::lock_guard guard(state_->m);
  return static_cast<int>(state_->Plugged().size());
}

std::optional<std::string> SimUsbDriver::InterfacePath(const vantiro::InterfaceClassId&, int n) {
  std::lock_guard guard(state_->m);
  auto plugged = state_->Plugged();
  if (n < 0 || n >= static_cast<int>(plugged.size())) return std::nullopt;
  return "\\\\?\\usb#vid_sim#" + std::to_string(plugged[n]->id);
}

DriverHandle SimUsbDriver::Open(const std::string& path) {
  std::lock_guard guard(state_->m);
  for (Device* d : state_->Plugged()) {
    if (path == "\\\\?\\usb#vid_sim#" + std::to_string(d->id)) {
      const DriverHandle h = state_->nextHandle++;
      state_->handles[h] = d->id;
      return h;
    }
  }
  return vantiro::kInvalidDriverHandle;
}

bool SimUsbDriver::Close(DriverHandle handle) {
  std::lock_guard guard(state_->m);
  auto it = state_->handles.find(handle);
  const int device = it == state_->handles.end() ? -1 : it->second;
  if (state_->refuseCloses > 0) {
    --state_->refuseCloses;
    state_->log.push_back({SimLogEntry::CloseRefused, device, 0, {}, 0});
    return false;
  }
  state_->log.push_back({SimLogEntry::Close, device, 0, {}, 0});
  if (it == state_->handles.end()) return false;
  state_->handles.erase(it);
  return true;
}

vantiro::StartedRequest SimUsbDriver::Start(DriverHandle handle, std::uint32_t code,
                                            std::unique_ptr<IoBuffers> buffers) {
  std::lock_guard guard(state_->m);
  auto it = state_->handles.find(handle);
  const int device = it == state_->handles.end() ? -1 : it->second;
  state_->log.push_back({SimLogEntry::Request, device, code, buffers->in,
                         static_cast<std::uint32_t>(buffers->Output().size())});
  vantiro::StartedRequest started;
  if (device < 0) {
    started.error = kErrorInvalidHandle;
    return started;
  }
  if (auto r = state_->refusedCodes.find(code); r != state_->refusedCodes.end()) {
    started.error = r->second;
    return started;
  }
  Device* d = state_->Find(device);
  if (!d->Here()) {
    started.error = kErrorNotConnected;
    return started;
  }
  if (code == ioctl::kAbortPipe && !buffers->in.empty()) {
    const std::uint8_t pipe = buffers->in[0];
    for (SimRequest* p : state_->pending) {
      if (p->Handle() == handle && p->Pipe() == pipe && !p->Ended() &&
          p->Behaviour() == SimBehaviour::PendUntilAbort) {
        p->EndLocked(vantiro::kErrorOperationAborted);
      }
    }
  }
  SimBehaviour behaviour = SimBehaviour::Immediate;
  std::uint8_t pipe = 0;
  if (code == ioctl::kBufferedTransfer || code == ioctl::kDirectTransfer) {
    pipe = buffers->in.size() > 13 ? buffers->in[13] : 0;
    auto& q = d->behaviours[pipe];
    if (!q.empty()) {
      behaviour = q.front();
      q.pop_front();
    } else if (pipe & 0x80) {
      if (pipe == 0x83 && d->inQueues[pipe].empty() && d->profile.peer)
        if (auto bytes = d->profile.peer->Next()) d->inQueues[pipe].push_back(std::move(*bytes));
      // Nothing to send: the device NAKs until the host gives up.
      if (d->inQueues[pipe].empty() && !d->failNext.count(pipe)) behaviour = SimBehaviour::PendUntilAbort;
    }
  }
  auto request = std::make_unique<SimRequest>(state_, handle, device, code, std::move(buffers), behaviour, pipe);
  if (behaviour == SimBehaviour::Immediate) {
    request->PerformLocked();
    started.error = 0;
  } else {
    state_->pending.push_back(request.get());
    started.error = vantiro::kErrorIoPending;
  }
  started.request = std::move(request);
  return started;
}

bool SimUsbDriver::CancelIo(DriverHandle handle) {
  std::lock_guard guard(state_->m);
  auto it = state_->handles.find(handle);
  state_->log.push_back({SimLogEntry::Cancel, it == state_->handles.end() ? -1 : it->second, 0, {}, 0});
  for (SimRequest* p : state_->pending) {
    if (p->Handle() == handle && !p->Ended() && p->Behaviour() != SimBehaviour::NeverEnds) {
      p->EndLocked(vantiro::kErrorOperationAborted);
    }
  }
  return true;
}

}  // namespace pelsim
