#pragma once
// The frames of the faster streams, each between braces with blank-separated
// fields, so that the host tells them apart by length (counting the CR):
//   fast single-channel frame: 75, successive samples of one channel;
//   fast block frame: above 39 and never 51 (51 is a normal frame there),
//     one field per streamed channel per sample, channel order;
//   timing frame: 72 gate characters "0" or "1", one per millisecond tick.
#include <span>
#include <string>

namespace pel::sim {

constexpr int kFastSingleFrameLength = 75;
constexpr int kTimingTicksPerFrame = 72;

// Up to 36 samples in a frame of length 75 (without CR LF: 74 characters).
std::string composeFastSingleFrame(std::span<const double> samples);
// Fields 8 characters wide after a blank; padded to a length the host reads
// as a block frame whatever the number of values.
std::string composeBlockFrame(std::span<const double> values);
// "{" followed by one "1" (blocked) or "0" per tick and "}".
std::string composeTimingFrame(std::span<const bool> blocked);

}  // namespace pel::sim
