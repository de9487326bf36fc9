#pragma once
// Unit conversion of channel values and quantisation to the sensor resolution.
#include <array>

namespace pel::records {

struct ConvertSetting {
  int formula = 0;  // 1 to 9; any other value leaves values unchanged
  double a = 0.0;
  double b = 0.0;
};

using ConvertTable = std::array<ConvertSetting, 8>;  // channels A to H

// Applies the channel's formula; a floating-point fault (division by zero,
// logarithm of a non-positive value, overflow, NaN) gives x unchanged.
double ConvertValue(const ConvertSetting& setting, double x);
double ConvertValue(const ConvertTable& table, int channel, double x);

// Index counts from 1 (A) to 8 (H); other indexes are ignored. pType is stored
// as given, even outside 1 to 9.
void SetConvertUnit(ConvertTable& table, int Index, int pType, double pA, double pB);

// Round(value / resolution) * resolution, halves to even. A resolution of 0
// (or a step so fine the quotient overflows) leaves the value as it is.
double Quantise(double value, double resolution);

}  // namespace pel::records
