#pragma once
// The high-speed dialect's pieces that need no state: command texts, the
// interval count, value lists of the text replies, and sample decoding.
#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// Commands go out with exactly their own length: no terminator, no line end.
std::string CmdIdentify();                      // S{10,3}
std::string CmdList();                          // S{80,10}
std::string CmdInfo(int buffer);                // S{80,11,n}
std::string CmdSetup(int channel, int count);   // S{82,ch,count}
std::string CmdStart();                         // S{80,1}
std::string CmdStop();                          // S{80,0}
std::string CmdDownload(int first, int count);  // S{80,12,first,count}
std::string CmdBlock(int index);                // S{80,4,k}
std::string CmdClear();                         // S{80,13}
std::string CmdDelete(int buffer);              // S{80,14,n}

// Interval in seconds to the count of 0.1 ms units sent with the set-up:
// seconds * 10000 + 0.1, truncated. Not a finite non-negative number: refused;
// past kMaxIntervalCount: saturated.
inline constexpr int kMaxIntervalCount = 1000000;
std::optional<int> IntervalCount(double seconds);

// Reads the decimal values of a text reply: an opening bracket resets the
// value, digits build it, "," or the closing bracket ends it, other bytes are
// skipped. Stops once more than `expected` values were read; returns the count.
// Values saturate at 999999999 (never overflow, however many digits).
int ReadValues(const std::uint8_t* line, int length, char close, int expected, int* out);

// One sample: 4 bytes, most significant first, two's complement, / 10000.
float DecodeSample(const std::uint8_t* p);
std::uint8_t XorBytes(const std::uint8_t* p, int count);

}  // namespace quillon
