#include "devicelink/usb/UsbSensorSide.h"

#include <algorithm>

#include "devicelink/records/NumberText.h"

namespace pel::usb {
namespace {

// A sensor that never goes quiet must not hold the link: reads of one reply
// or one drain stop after this many chunks.
constexpr int kMaxChunks = 64;

bool validPosition(int p) { return p >= 0 && p < kSlots; }

}  // namespace

UsbSensorSide::UsbSensorSide(UsbSensorBus& bus, UsbSlotStore& store, UsbTables tables,
                             std::function<TimeOfDay()> clock)
    : bus_(bus), store_(store), t_(tables), clock_(std::move(clock)) {
  for (auto& b : buffers_) b.reserve(kReceiveBuffer);
}

bool UsbSensorSide::Write(int device, const UsbCommand& c) {
  std::lock_guard lock(m_);
  if (device < 0) return false;
  return bus_.Write(device, BuildUsbPacket(c));
}

void UsbSensorSide::Append(int position, const std::uint8_t* bytes, std::size_t n) {
  auto& b = buffers_[static_cast<std::size_t>(position)];
  // A reply that outgrows the buffer cannot be read: what came before goes.
  if (b.size() + n > kReceiveBuffer) b.clear();
  if (n > kReceiveBuffer) {
    bytes += n - kReceiveBuffer;
    n = kReceiveBuffer;
  }
  b.insert(b.end(), bytes, bytes + n);
  if (!b.empty() && b.back() == static_cast<std::uint8_t>(kEndByte)) {
    Parse(position);
    b.clear();
  }
}

void UsbSensorSide::Parse(int position) {
  const auto p = static_cast<std::size_t>(position);
  const auto& b = buffers_[p];
  const UsbReply r = ParseUsbReply(b.data(), b.size());
  series_[p].clear();
  if (!r.valid) return;
  if (r.hasText) replies_[p] = r.text;
  if (r.type == 'B' || r.type == 'b') series_[p] = r.series;
  if (r.command == 3000) {
    t_.latest[p].store(r.value);
    t_.newReading.store(true);
  }
}

void UsbSensorSide::Drain(int device, int position) {
  std::uint8_t chunk[kReadChunk];
  for (int i = 0; i < kMaxChunks; ++i) {
    const std::size_t n = bus_.Read(device, chunk, sizeof chunk);
    if (n == 0) {
      replies_[static_cast<std::size_t>(position)].clear();
      return;
    }
    if (n < kReadChunk) return;
  }
}

std::string UsbSensorSide::Read(int device, bool wait, bool duringRun, int position) {
  std::lock_guard lock(m_);
  const int p = position < 0 ? device : position;
  if (!validPosition(p) || device < 0) return {};
  replies_[static_cast<std::size_t>(p)].clear();
  if (!wait) {
    Drain(device, p);
    return replies_[static_cast<std::size_t>(p)];
  }
  std::uint8_t chunk[kReadChunk];
  std::size_t got = bus_.Read(device, chunk, sizeof chunk);
  if (bus_.ReadsUntilSilent()) {
    // During a run the reply is left to the poll.
    if (duringRun) return {};
    std::uint8_t next[kReadChunk];
    for (int i = 0; got > 0 && i < kMaxChunks; ++i) {
      const std::size_t n = bus_.Read(device, next, sizeof next);
      if (n == 0) break;
      std::copy(next, next + n, chunk);
      got = n;
    }
  }
  if (got > 0) Append(p, chunk, got);
  return replies_[static_cast<std::size_t>(p)];
}

bool UsbSensorSide::PollPosition(int k) {
  std::lock_guard lock(m_);
  if (!validPosition(k)) return false;
  const int device = t_.slots[static_cast<std::size_t>(k)].device;
  if (device < 0) return false;
  std::uint8_t chunk[kReadChunk];
  const std::size_t n = bus_.Read(device, chunk, sizeof chunk);
  if (n == 0) return false;
  Append(k, chunk, n);
  return true;
}

void UsbSensorSide::Enumerate(bool force) {
  std::lock_guard lock(m_);
  int n = bus_.Count();
  if (n == t_.foundCount && !force) return;
  bus_.Reopen();
  n = std::clamp(n, 0, kSlots);
  const auto stored = store_.Load();
  for (int i = 0; i < kSlots; ++i) t_.slots[static_cast<std::size_t>(i)] = {i, stored[static_cast<std::size_t>(i)]};

  std::vector<std::string> ids;
  for (int i = 0; i < n; ++i) {
    bus_.Pump();
    Write(i, Packet("1003", "0004"));
    std::string id = TrimBlanks(Read(i, true));
    // Two sensors must never share a slot: a blank or repeated identifier
    // is replaced (the first sensor keeps its own).
    if (i > 0 && (id.empty() || std::find(ids.begin(), ids.end(), id) != ids.end())) {
      const TimeOfDay now = clock_ ? clock_() : TimeOfDay{};
      id = NewIdentifier(now.minutes, now.seconds, now.milliseconds, ids);
      Write(i, Packet("1003", "0003", "S", id));
      Write(i, Packet("1008", "0100"));
      Write(i, Packet("3000", "0002"));
      Drain(i, i);
    }
    ids.push_back(id);
  }
  MergeSlots(t_.slots, ids);
  t_.foundCount = n;

  for (int k = 0; k < n; ++k) {
    const int d = t_.slots[static_cast<std::size_t>(k)].device;
    Write(d, Packet("1008", "0020"));
    const std::string text = TrimBlanks(Read(d, true));
    int range = 0;
    if (!text.empty() && !records::ParseInteger(text, range)) range = 0;
    t_.sensorRange[static_cast<std::size_t>(k)] = static_cast<unsigned char>(std::clamp(range, 0, 255));
  }
  std::array<std::string, kSlots> save;
  for (int k = 0; k < kSlots; ++k) save[static_cast<std::size_t>(k)] = t_.slots[static_cast<std::size_t>(k)].id;
  store_.Save(save);
}

IdentifiedSlots UsbSensorSide::Identify() {
  std::lock_guard lock(m_);
  IdentifiedSlots out;
  try {
    Enumerate(false);
  } catch (...) {
    return out;  // the sensors cannot be reached: no channel has one
  }
  const auto reenumerate = [this] {
    try {
      Enumerate(true);
    } catch (...) {
    }
  };
  for (int k = 0; k < kSlots; ++k) {
    if (k >= t_.foundCount) continue;
    const int d = t_.slots[static_cast<std::size_t>(k)].device;
    if (!Write(d, Packet("1003", "0002"))) continue;
    const std::string text = TrimBlanks(Read(d, true));
    int id = 0;
    if (!records::ParseInteger(text.size() > 3 ? text.substr(text.size() - 3) : text, id)) {
      reenumerate();
      continue;
    }
    out.ids[static_cast<std::size_t>(k)] = id;
    if (id == 14) {
      Write(d, Packet("1006", "0002"));
      if (Read(d, true) == "g") {
        Write(d, Packet("1003", "0001", "S", "0114"));
        Write(d, Packet("1008", "0100"));
        out.ids[static_cast<std::size_t>(k)] = 114;
      }
    }
    out.active[static_cast<std::size_t>(k)] = true;
  }
  return out;
}

void UsbSensorSide::SetUpRun(RunSetup base, bool digitalInput, int digitalChannel) {
  std::lock_guard lock(m_);
  for (int k = 0; k < std::min(t_.foundCount, kSlots); ++k) {
    base.digitalPosition = digitalInput && k == digitalChannel;
    const int d = t_.slots[static_cast<std::size_t>(k)].device;
    for (const auto& c : RunSetupPackets(base)) Write(d, c);
    t_.latest[static_cast<std::size_t>(k)].store(0.0);
  }
}

void UsbSensorSide::StartSensors(bool start, bool digitalInput, int digitalChannel, double samplingTime,
                                 UsbRunCounters& counters) {
  std::lock_guard lock(m_);
  t_.newReading.store(false);
  if (start && samplingTime <= 0.5) counters.record = -1;
  const int n = std::min(t_.foundCount, kSlots);
  for (int k = 0; k < n; ++k) {
    const int d = t_.slots[static_cast<std::size_t>(k)].device;
    if (!start) {
      Write(d, Packet("2000", "0000"));
    } else if (!digitalInput) {
      Write(d, Packet("2000", "0001"));
    } else if (k == digitalChannel) {
      Write(d, Packet("2000", "0001"));
      for (auto& s : series_) s.clear();
    }
  }
  if (!start)
    for (int d = 0; d < n; ++d) Drain(d, d);
}

void UsbSensorSide::PollPass(bool digitalInput, PassSink& sink, setup::CalibrationHandOver& calibration) {
  const auto snapshot = [this] {
    std::array<double, 8> r{};
    for (std::size_t i = 0; i < r.size(); ++i) r[i] = t_.latest[i].load();
    return r;
  };
  for (;;) {
    std::vector<std::array<double, 8>> readings;
    {
      std::lock_guard lock(m_);
      if (!PollPosition(0)) break;
      for (int k = 1; k < std::min(t_.foundCount, kSlots); ++k) {
        if (digitalInput) Write(t_.slots[static_cast<std::size_t>(k)].device, Packet("3000", "0002"));
        PollPosition(k);
      }
      if (t_.newReading.load()) readings.push_back(snapshot());
      // Every series reading makes its own record, once.
      for (std::size_t p = 0; p < series_.size(); ++p) {
        auto& s = series_[p];
        for (std::size_t j = 1; j < s.size(); ++j) {
          t_.latest[p].store(s[j]);
          readings.push_back(snapshot());
        }
        s.clear();
      }
    }
    bool ended = false;
    for (const auto& r : readings) {
      if (!sink.Record(r)) {
        ended = true;
        break;
      }
    }
    if (ended || calibration.Pending() || !sink.Repeat()) break;
  }
  if (calibration.Pending()) SendCalibration(calibration);
}

void UsbSensorSide::SendCalibration(setup::CalibrationHandOver& calibration) {
  std::lock_guard lock(m_);
  const auto taken = calibration.PeekPending();
  if (!taken) return;
  const int c = taken->order.channel;
  if (validPosition(c)) {
    const int d = t_.slots[static_cast<std::size_t>(c)].device;
    for (const auto& pk : CalibrationPackets(taken->order, t_.sensorRange[static_cast<std::size_t>(c)])) Write(d, pk);
  }
  calibration.MarkSent(taken->ticket);
}

std::array<double, 8> UsbSensorSide::CurrentReadings(bool duringRun) {
  std::lock_guard lock(m_);
  for (int i = 0; i < std::min(t_.foundCount, kSlots); ++i) {
    Write(i, Packet("1004", "0001"));
    Read(i, true, duringRun);
    const int d = t_.slots[static_cast<std::size_t>(i)].device;
    Write(d, Packet("3000", "0002"));
    Read(d, true, duringRun, i);
  }
  std::array<double, 8> r{};
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = t_.latest[i].load();
  return r;
}

std::string UsbSensorSide::ReplyText(int position) const {
  std::lock_guard lock(m_);
  return validPosition(position) ? replies_[static_cast<std::size_t>(position)] : std::string();
}

}  // namespace pel::usb
