// The USB sensor side over sensors whose answers come from the input: reply
// packets in any pieces and any bytes, identifiers, sensor IDs, ranges and
// readings, through the enumeration, identification, poll passes, one-shot
// readings and the calibration hand-over.
//
// Input: byte 0 the number of devices (0 to 9), byte 1 flags (1 libusb, 2
// AutoStop, 4 zero setting), byte 2 NoOfData, then operations, each a byte
// and its arguments (see Step).
//
// Checks: every packet the link writes is well-formed and reads back (type
// "F" data as a number, "D" data as an integer); after an enumeration the
// slots give each present sensor one channel; readings are finite; records
// carry a number, a time and eight values; with AutoStop none is raised past
// NoOfData (outside zero setting); a reply parses within its bytes.
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "devicelink/records/NumberText.h"
#include "devicelink/usb/UsbCommands.h"
#include "devicelink/usb/UsbRecord.h"
#include "devicelink/usb/UsbReply.h"
#include "devicelink/usb/UsbSensorSide.h"
#include "tests/devicelink/usb/FakeSensors.h"
#include "tests/devicelink/usb/FakeSideParts.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/UsbPacketCheck.h"

namespace {

using namespace pel::usb;
using pel::fuzz::FuzzInput;

void CheckReply(const std::uint8_t* bytes, std::size_t size) {
  const UsbReply r = ParseUsbReply(bytes, size);
  if (!r.valid) return;
  PEL_FUZZ_CHECK(r.length >= 0 && (r.length == 0 || 13 + static_cast<std::size_t>(r.length) + 4 <= size),
                 std::to_string(r.length));
  PEL_FUZZ_CHECK(r.series.size() <= static_cast<std::size_t>(kMaxSeriesValues), "series");
  for (double v : r.series) PEL_FUZZ_CHECK(v > 0 && v <= 16.777215, std::to_string(v));
  PEL_FUZZ_CHECK(std::isfinite(r.value), "value");
  if (r.hasText && r.type != 'B' && r.type != 'b')
    PEL_FUZZ_CHECK(r.text.size() == static_cast<std::size_t>(r.length - 1), "text");
}

class Bus final : public UsbSensorBus {
 public:
  std::vector<fakeusb::Sensor> sensors;
  bool libusb = false, throwOnCount = false;
  int Count() override {
    if (throwOnCount) throw std::runtime_error("driver handle");
    return static_cast<int>(sensors.size());
  }
  void Reopen() override {}
  bool Write(int d, const std::string& packet) override {
    pel::fuzz::CheckUsbPacket(packet);
    if (d < 0 || d >= static_cast<int>(sensors.size())) return false;
    sensors[static_cast<std::size_t>(d)].Take(packet);
    return true;
  }
  std::size_t Read(int d, std::uint8_t* b, std::size_t max) override {
    PEL_FUZZ_CHECK(max > 0, "read of nothing");
    if (d < 0 || d >= static_cast<int>(sensors.size())) return 0;
    return sensors[static_cast<std::size_t>(d)].Give(b, max);
  }
  bool ReadsUntilSilent() const override { return libusb; }
  void Pump() override {}
};

class Sink final : public PassSink {
 public:
  pel::records::StreamContext ctx;
  UsbRunCounters counters;
  bool going = true;
  int rounds = 0;
  bool Record(const std::array<double, 8>& v) override {
    const auto step = NextUsbRecord(counters, ctx, v, going, going);
    if (!step.made) return true;
    std::vector<std::string> f;
    PEL_FUZZ_CHECK(pel::fuzz::RecordFields(step.record, f) && f.size() == 10, step.record);
    for (std::size_t i = 1; i < f.size(); ++i) {
      double x = 0;
      PEL_FUZZ_CHECK(pel::records::ParseNumber(f[i], x, pel::records::Blanks::around), step.record);
    }
    if (ctx.autoStop() && !ctx.setZeroMode()) PEL_FUZZ_CHECK(step.number <= ctx.noOfData(), step.record);
    if (step.raise && ctx.autoStop()) PEL_FUZZ_CHECK(step.number <= ctx.noOfData(), step.record);
    if (step.stop) going = false;
    return !step.stop;
  }
  bool Repeat() override { return going && ++rounds % 4 != 0; }
};

struct Rig : fakeusb::SideTables {
  Bus bus;
  fakeusb::Store store;
  int clock = 0;
  UsbSensorSide side{bus, store, Tables(),
                     [this] { return TimeOfDay{clock % 60, clock / 60 % 60, clock * 7 % 1000}; }};
  pel::setup::CalibrationHandOver calibration;
  Sink sink;
  bool enumerated = false;

  fakeusb::Sensor* SensorAt(FuzzInput& in) {
    if (bus.sensors.empty()) return nullptr;
    return &bus.sensors[in.Byte() % bus.sensors.size()];
  }

  void CheckSlots() const {
    if (!enumerated) return;
    PEL_FUZZ_CHECK(found >= 0 && found <= kSlots, std::to_string(found));
    std::array<bool, kSlots> taken{};
    for (int k = 0; k < kSlots; ++k) {
      const int d = slots[static_cast<std::size_t>(k)].device;
      if (k >= found) {
        PEL_FUZZ_CHECK(d == -1, "a slot past the sensors found");
        continue;
      }
      PEL_FUZZ_CHECK(d >= 0 && d < found && !taken[static_cast<std::size_t>(d)], "slot " + std::to_string(k));
      taken[static_cast<std::size_t>(d)] = true;
    }
    for (const auto& v : latest) PEL_FUZZ_CHECK(std::isfinite(v.load()), "reading");
  }

  // One operation; false when the input is used up.
  bool Step(FuzzInput& in) {
    if (in.Empty()) return false;
    ++clock;
    switch (in.Byte() % 16) {
      case 0:
      case 1:
        try {
          // Unforced with the same number of sensors, nothing happens.
          const bool force = in.Bool();
          const bool runs = force || static_cast<int>(bus.sensors.size()) != found;
          side.Enumerate(force);
          enumerated = enumerated || runs;
        } catch (const std::runtime_error&) {
          // the driver's failure reaches the caller, as documented
        }
        break;
      case 2: {
        const IdentifiedSlots ids = side.Identify();
        for (int k = 0; k < kSlots; ++k)
          if (ids.active[static_cast<std::size_t>(k)]) PEL_FUZZ_CHECK(k < found, "an identified slot past the sensors");
        break;
      }
      case 3:
      case 4:
        side.PollPass(in.Bool(), sink, calibration);
        break;
      case 5:
        side.CurrentReadings(in.Bool());
        break;
      case 6: {
        const int d = in.Int(-1, 9);
        side.Read(d, in.Bool(), in.Bool(), in.Int(-1, 8));
        break;
      }
      case 7: {
        UsbRunCounters counters;
        side.StartSensors(in.Bool(), in.Bool(), in.Int(-1, 8), in.Bool() ? 1.0 : 0.2, counters);
        break;
      }
      case 8: {
        RunSetup setup;
        static const double kSamplingTimes[] = {0.2, 1e-3, 1e300, -1.0, 0.0};
        setup.samplingTime = in.Pick(kSamplingTimes);
        setup.adc = in.Bool();
        setup.noOfStroboSlit = in.Int(-300, 300);
        side.SetUpRun(setup, in.Bool(), in.Int(-1, 8));
        break;
      }
      case 9:  // raw bytes from a sensor
        if (auto* s = SensorAt(in)) {
          const std::string p = in.Piece();
          CheckReply(reinterpret_cast<const std::uint8_t*>(p.data()), p.size());
          s->out.emplace_back(p.begin(), p.end());
        }
        break;
      case 10:  // a well-formed reply of any fields
        if (auto* s = SensorAt(in)) {
          const std::string command = pel::usb::PadDigits(in.Int(0, 9999), 4);
          const std::string code = pel::usb::PadDigits(in.Int(0, 9999), 4);
          static const char kTypes[] = {'D', 'F', 'S', 'B', 'd', 'f', 's', 'b', 'x'};
          const std::string type(1, in.Pick(kTypes));
          s->out.push_back(fakeusb::Reply(command, code, type, in.Piece()));
        }
        break;
      case 11:  // a reading, in any piece sizes
        if (auto* s = SensorAt(in)) {
          const auto r = fakeusb::Reply("3000", "0002", "F", FormatUsbReal(in.Real()));
          const std::size_t cut = std::min<std::size_t>(in.Byte(), r.size());
          s->out.emplace_back(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(cut));
          if (cut < r.size()) s->out.emplace_back(r.begin() + static_cast<std::ptrdiff_t>(cut), r.end());
        }
        break;
      case 12:
        if (auto* s = SensorAt(in)) {
          s->identifier = in.Piece();
          s->sensorId = in.Piece();
          s->range = in.Piece();
          s->query = in.Bool() ? "g" : in.Piece();
          s->reading = in.Real();
        }
        break;
      case 13: {
        pel::setup::CalibrationOrder order;
        order.on = in.Bool();
        order.channel = in.Int(-1, 8);
        order.twoSegment = in.Bool();
        order.coefficients = {in.Real(), in.Real(), in.Real()};
        order.second = {in.Real(), in.Real(), in.Real()};
        order.segmentBreak = in.Real();
        calibration.Publish(order);
        break;
      }
      case 14:
        bus.throwOnCount = !bus.throwOnCount;
        break;
      default: {
        const std::string p = in.Piece();
        CheckReply(reinterpret_cast<const std::uint8_t*>(p.data()), p.size());
        break;
      }
    }
    CheckSlots();
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  auto rig = std::make_unique<Rig>();
  const int devices = in.Byte() % 10;
  const std::uint8_t flags = in.Byte();
  rig->bus.libusb = flags & 1;
  for (int i = 0; i < devices; ++i) {
    fakeusb::Sensor s;
    s.identifier = "040000" + std::to_string(i % 3);  // some repeat
    s.sensorId = "S0" + std::to_string(10 + i);
    s.range = std::to_string(i % 5);
    s.reading = i * 0.5;
    rig->bus.sensors.push_back(s);
  }
  rig->store.ids = {"0400002", "", "gone", "0400001", "", "", "", ""};
  auto& ctx = rig->sink.ctx.own;
  ctx.autoStop = flags & 2;
  ctx.setZeroMode = flags & 4;
  ctx.noOfData = in.Byte();
  ctx.samplingTime = 0.2;
  for (std::size_t c = 0; c < 8; ++c) ctx.channels[c].active = (c + flags) % 3 != 0;
  while (rig->Step(in)) {
  }
  return 0;
}
