#include "devicelink/records/CurrentValue.h"

#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/records/NumberText.h"

namespace pel::records {
namespace {

void AppendValue(std::string& out, const StreamContext& ctx, int c, double v) {
  const double r = ctx.channel(c).Resolution();
  if (v == 0.0 || r == 0.0)
    out += "0.0";
  else
    AppendFixed(out, ConvertValue(ctx.convert, c, Quantise(v, r)), 10, 6);
}

}  // namespace

std::string FormatCurrentValue(const StreamContext& ctx, std::string_view reply) {
  std::vector<std::string> fields = pel::link::SplitFields(pel::link::ReplyBody(reply), ' ');
  if (fields.empty()) return {};
  if (fields.size() > kChannels) fields.resize(kChannels);
  std::string out;
  for (size_t k = 0; k < fields.size(); ++k) {
    double v = 0;
    if (!ParseNumber(fields[k], v)) return {};
    if (k > 0) out += ',';
    AppendValue(out, ctx, static_cast<int>(k), v);
  }
  for (size_t k = fields.size(); k < kChannels; ++k) out += ",0.0";
  out += ';';
  return out;
}

std::string FormatUsbCurrentValue(const StreamContext& ctx, const std::array<double, 8>& latest) {
  std::string out;
  for (int c = 0; c < kChannels; ++c) {
    if (c > 0) out += ',';
    if (!ctx.channel(c).active)
      out += "0.0";
    else
      AppendValue(out, ctx, c, latest[static_cast<size_t>(c)]);
  }
  out += ';';
  return out;
}

}  // namespace pel::records
