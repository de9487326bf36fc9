#pragma once
// A plain 24-bit RGB PNG writer (stored deflate blocks, no compression), so
// the demo can leave a screenshot without an image library.
#include <cstdint>
#include <string>
#include <vector>

namespace pel::demo {

// rgb holds height rows of width pixels, three bytes each, top row first.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace pel::demo
