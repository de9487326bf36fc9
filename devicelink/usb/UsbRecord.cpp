#include "devicelink/usb/UsbRecord.h"

#include "devicelink/records/Conversion.h"
#include "devicelink/records/NumberText.h"

namespace pel::usb {

std::string FormatUsbRecord(const records::StreamContext& ctx, const std::array<double, 8>& readings, int number,
                            double time) {
  std::string r = std::to_string(number);
  r += ',';
  records::AppendFixed(r, time, 10, 8);
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const records::ChannelSetup ch = ctx.channel(static_cast<int>(i));
    const double v = readings[i];
    if (!ch.active && v != 0.0) {
      r += ",0.0";
      continue;
    }
    double x = records::ConvertValue(ctx.convert, static_cast<int>(i), records::Quantise(v, ch.Resolution()));
    if (ch.signInvert) x = -x;
    r += ',';
    records::AppendFixed(r, x, 10, 6);
  }
  r += ';';
  return r;
}

}  // namespace pel::usb

namespace pel::usb {

UsbRecordStep NextUsbRecord(UsbRunCounters& counters, const records::StreamContext& ctx,
                            const std::array<double, 8>& readings, bool running, bool experimentGoing) {
  UsbRecordStep step;
  ++counters.record;
  if (counters.record < 1) return step;
  // A reading that raced the stop at the planned record makes none: it would
  // reach the host through the recent-records list.
  if (ctx.autoStop() && !ctx.setZeroMode() && counters.record > ctx.noOfData()) return step;
  const double t = counters.time * ctx.samplingTime();
  ++counters.time;
  step.made = true;
  step.number = counters.record;
  step.record = FormatUsbRecord(ctx, readings, step.number, t);
  step.raise = running && !(ctx.autoStop() && step.number > ctx.noOfData());
  step.stop = (!ctx.setZeroMode() && ctx.autoStop() && step.number >= ctx.noOfData()) || !experimentGoing;
  return step;
}

}  // namespace pel::usb
