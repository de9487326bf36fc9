#include "devicelink/ReceiveState.h"

namespace pel::link {

void ReceiveState::appendText(std::string_view text) {
  buffer.append(text);
  if (buffer.size() > kMaxText) {
    const std::size_t drop = buffer.size() - kMaxText;
    buffer.erase(0, drop);
    textDropped += drop;
  }
  lastFrameLength = static_cast<int>(buffer.size());
}

void ReceiveState::appendRaw(const std::uint8_t* bytes, std::size_t count) {
  const std::size_t room = kRawSize - rawCount;
  const std::size_t take = count < room ? count : room;
  for (std::size_t i = 0; i < take; ++i) raw[rawCount + i] = bytes[i];
  rawCount += take;
  rawDropped += count - take;
}

void ReceiveState::reset() {
  buffer.clear();
  binary = false;
  frameMode = false;
  rawCount = 0;
  rawDropped = 0;
  textDropped = 0;
  lastFrame.clear();
  lastFrameLength = 0;
}

}  // namespace pel::link
