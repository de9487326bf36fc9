#pragma once
// The receive side's state, once per process: text received and not yet
// taken, the raw byte buffer of binary mode, the modes and the last frame.
// Touched only on the main thread.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pel::link {

struct ReceiveState {
  static constexpr std::size_t kRawSize = 1024;   // the raw byte buffer
  static constexpr std::size_t kStageSize = 255;  // one staged piece of a binary read
  // A peer that never ends its lines cannot grow the text without bound.
  static constexpr std::size_t kMaxText = 65536;

  std::string buffer;
  bool binary = false;
  bool frameMode = false;
  std::array<std::uint8_t, kRawSize> raw{};
  std::size_t rawCount = 0;
  std::size_t rawDropped = 0;   // binary bytes that did not fit
  std::size_t textDropped = 0;  // oldest text dropped at kMaxText
  std::string lastFrame;
  int lastFrameLength = 0;

  // Text mode: appends and sets lastFrameLength to the whole buffer's length.
  void appendText(std::string_view text);
  // Binary mode: stores what fits after rawCount, dropping (and counting) the rest.
  void appendRaw(const std::uint8_t* bytes, std::size_t count);
  void reset();
};

}  // namespace pel::link
