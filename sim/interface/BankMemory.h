#pragma once
// The box's memory: 16 banks that high-speed captures fill, with the text
// lines that describe them.
//   Sorn II, Qor: one bank reachable at a time (`current`); its directory
//     line "[bb,mmmmm,tt,aaa,bbb,ccc,nnnn]" (bank number, interval in ms,
//     interval in 0.1 ms when below 5 ms, sensor IDs A to C, blocks of 30).
//   Aster: all 16, flag list "{f1,...,f16}" and per bank the info line
//     "{mmmmm,tt,aaa,bbb,ccc,nnnnn}" (nnnnn: samples); bank k starts at
//     sample address (k - 1) x 3126.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pel::sim {

constexpr int kBankCount = 16;
constexpr int kAsterBankSpan = 3126;    // sample addresses per Aster bank
constexpr int kMaxBankSamples = 50010;  // 1667 blocks of 30

struct Bank {
  int intervalUnits = 0;           // between two samples of one channel, 0.1 ms
  std::array<int, 3> sensorIds{};  // channels A, B, C; 0 for none
  // value x 10000, one per recorded channel and instant, in channel order
  std::vector<std::int32_t> samples;
  bool used() const { return !samples.empty(); }
};

struct Capture {
  int bank = 0;  // index 0 to 15
  int channel = 1;
  int intervalUnits = 10;
  std::chrono::steady_clock::time_point start{};
  int timer = 0;  // the engine timer that ends it
};

struct BankMemory {
  std::array<Bank, kBankCount> banks;
  int current = 0;         // Sorn II, Qor: the bank read and captured into
  int channel = 1;         // of the last "s{82,ch,n}"
  int intervalUnits = 10;  // of the last "s{82,ch,n}"
  std::optional<Capture> capture;
};

std::string sornDirectoryLine(const Bank& bank, int number);
std::string asterInfoLine(const Bank& bank);
std::string asterFlagList(const BankMemory& memory);
// Block `block` (from 0) of a bank: up to 30 samples from 30 x block.
std::span<const std::int32_t> sornBlockSamples(const Bank& bank, int block);
// Up to `count` (at most 30) samples from an Aster sample address, within
// the bank the address falls in.
std::span<const std::int32_t> asterBlockSamples(const BankMemory& memory, int address, int count);

}  // namespace pel::sim
