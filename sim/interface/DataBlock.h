#pragma once
// The binary data blocks of memory downloads and scope reads: a header, the
// values as 4-byte signed integers with the most significant byte first
// (value x 10000), one check byte (the exclusive-or of the value bytes), a
// closing bracket and CR LF. The value bytes and the check byte may be any
// byte, CR and LF included.
//   Sorn II, Qor: "[05," NN "," values check "]" CR LF
//   Aster, scope: "{" NN "," values check "}" CR LF
//   empty scope block: "{00}" CR LF
#include <cstdint>
#include <span>
#include <string>

namespace pel::sim {

constexpr int kBlockValues = 30;  // at most, per block

// The value in units of 1/10000, halves to even, within the 32-bit range.
std::int32_t toRaw(double value);
std::uint8_t xorCheck(std::span<const std::int32_t> raw);
std::string valueBytes(std::span<const std::int32_t> raw);

std::string sornBlock(std::span<const std::int32_t> raw, bool wrongCheck = false);
std::string asterBlock(std::span<const std::int32_t> raw, bool wrongCheck = false);
std::string scopeBlock(std::span<const std::int32_t> raw, bool wrongCheck = false);

}  // namespace pel::sim
