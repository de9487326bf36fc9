#include "sim/interface/BankMemory.h"

#include <algorithm>
#include <cstdio>

#include "sim/interface/DataBlock.h"

namespace pel::sim {
namespace {

// The interval as the directory writes it: whole ms, or 0.1 ms units in the
// second field when it is below 5 ms.
void intervalFields(int units, int& ms, int& tenths) {
  units = std::clamp(units, 0, 600000);
  if (units < 50) {
    ms = 0;
    tenths = units;
  } else {
    ms = (units + 5) / 10;
    tenths = 0;
  }
}

int clampId(int id) { return std::clamp(id, 0, 999); }

}  // namespace

std::string sornDirectoryLine(const Bank& bank, int number) {
  int ms = 0, tenths = 0;
  intervalFields(bank.intervalUnits, ms, tenths);
  int blocks = static_cast<int>((bank.samples.size() + kBlockValues - 1) / kBlockValues);
  char buf[64];
  std::snprintf(buf, sizeof buf, "[%02d,%05d,%02d,%03d,%03d,%03d,%04d]", std::clamp(number, 0, 99),
                ms, tenths, clampId(bank.sensorIds[0]), clampId(bank.sensorIds[1]),
                clampId(bank.sensorIds[2]), std::min(blocks, 9999));
  return buf;
}

std::string asterInfoLine(const Bank& bank) {
  int ms = 0, tenths = 0;
  intervalFields(bank.intervalUnits, ms, tenths);
  char buf[64];
  std::snprintf(buf, sizeof buf, "{%05d,%02d,%03d,%03d,%03d,%05d}", ms, tenths,
                clampId(bank.sensorIds[0]), clampId(bank.sensorIds[1]), clampId(bank.sensorIds[2]),
                static_cast<int>(std::min<std::size_t>(bank.samples.size(), 99999)));
  return buf;
}

std::string asterFlagList(const BankMemory& memory) {
  std::string s = "{";
  for (int k = 0; k < kBankCount; ++k) {
    if (k) s += ',';
    s += memory.banks[k].used() ? '1' : '0';
  }
  return s + "}";
}

std::span<const std::int32_t> sornBlockSamples(const Bank& bank, int block) {
  std::span<const std::int32_t> all(bank.samples);
  if (block < 0) return {};
  std::size_t first = static_cast<std::size_t>(block) * kBlockValues;
  if (first >= all.size()) return {};
  return all.subspan(first, std::min<std::size_t>(kBlockValues, all.size() - first));
}

std::span<const std::int32_t> asterBlockSamples(const BankMemory& memory, int address, int count) {
  if (address < 0 || count <= 0) return {};
  int k = address / kAsterBankSpan;
  if (k >= kBankCount) return {};
  std::span<const std::int32_t> all(memory.banks[k].samples);
  std::size_t first = static_cast<std::size_t>(address % kAsterBankSpan);
  if (first >= all.size()) return {};
  return all.subspan(first, std::min<std::size_t>(std::min(count, kBlockValues), all.size() - first));
}

}  // namespace pel::sim
