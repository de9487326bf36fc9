#include "devicelink/records/Conversion.h"

#include <cmath>

namespace pel::records {

double ConvertValue(const ConvertSetting& s, double x) {
  const double a = s.a, b = s.b;
  double r;
  switch (s.formula) {
    case 1: r = a * x + b; break;
    case 2: r = b + a / x; break;
    case 3: r = a / (x + b); break;
    case 4: r = 1.0 / (a * x + b); break;
    case 5: r = x / (a + b * x); break;
    case 6:
      if (!(x > 0.0)) return x;
      r = a * std::log(x) + b;
      break;
    case 7: r = a * std::exp(b * x); break;
    case 8: r = a * std::pow(x, b); break;
    case 9: {
      const double base = a * x + b;
      if (base == 0.0) return x;
      r = 1.0 / (base * base);
      break;
    }
    default: return x;
  }
  return std::isfinite(r) ? r : x;
}

double ConvertValue(const ConvertTable& table, int channel, double x) {
  if (channel < 0 || channel >= static_cast<int>(table.size())) return x;
  return ConvertValue(table[static_cast<size_t>(channel)], x);
}

void SetConvertUnit(ConvertTable& table, int Index, int pType, double pA, double pB) {
  if (Index < 1 || Index > static_cast<int>(table.size())) return;
  table[static_cast<size_t>(Index - 1)] = ConvertSetting{pType, pA, pB};
}

double Quantise(double value, double resolution) {
  if (resolution == 0.0) return value;
  const double q = std::nearbyint(value / resolution) * resolution;
  return std::isfinite(q) ? q : value;
}

}  // namespace pel::records
