// The screenshot writer's PNG: chunk layout and checks, and the pixels back
// out of its stored deflate blocks (several of them for a large picture).
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "sim/demo/PngFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

std::uint32_t Crc(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

struct Chunk {
  std::string type;
  Bytes data;
};

// Splits the file into chunks, checking each CRC on the way.
std::vector<Chunk> Chunks(const Bytes& png) {
  const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), signature);
  std::vector<Chunk> chunks;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t n = U32(png, at);
    Chunk c{std::string(png.begin() + at + 4, png.begin() + at + 8), Bytes(png.begin() + at + 8, png.begin() + at + 8 + n)};
    EXPECT_EQ(U32(png, at + 8 + n), Crc(png.data() + at + 4, n + 4)) << c.type;
    chunks.push_back(c);
    at += 12 + n;
  }
  return chunks;
}

// The bytes of a zlib stream made of stored blocks, its Adler-32 checked.
Bytes Inflate(const Bytes& z) {
  EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0) << "zlib header check";
  Bytes out;
  std::size_t at = 2;
  for (bool last = false; !last;) {
    last = z.at(at) & 1;
    EXPECT_EQ(z[at] >> 1, 0) << "stored block";
    const unsigned n = z[at + 1] | (z[at + 2] << 8);
    EXPECT_EQ(n ^ 0xFFFFu, static_cast<unsigned>(z[at + 3] | (z[at + 4] << 8)));
    out.insert(out.end(), z.begin() + at + 5, z.begin() + at + 5 + n);
    at += 5 + n;
  }
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : out) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(U32(z, at), (b << 16) | a);
  EXPECT_EQ(at + 4, z.size());
  return out;
}

TEST(PngFile, PixelsComeBackRowByRow) {
  struct Size {
    int w, h;
  };
  for (const Size s : {Size{1, 1}, Size{3, 2}, Size{300, 100}}) {  // the last needs two blocks
    Bytes rgb(static_cast<std::size_t>(s.w) * s.h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const auto chunks = Chunks(pel::demo::EncodePng(s.w, s.h, rgb));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(U32(chunks[0].data, 0), static_cast<std::uint32_t>(s.w));
    EXPECT_EQ(U32(chunks[0].data, 4), static_cast<std::uint32_t>(s.h));
    EXPECT_EQ(Bytes(chunks[0].data.begin() + 8, chunks[0].data.end()), (Bytes{8, 2, 0, 0, 0}));
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    const Bytes raw = Inflate(chunks[1].data);
    const std::size_t stride = static_cast<std::size_t>(s.w) * 3;
    ASSERT_EQ(raw.size(), (stride + 1) * s.h);
    for (int y = 0; y < s.h; ++y) {
      EXPECT_EQ(raw[y * (stride + 1)], 0) << "filter of row " << y;
      EXPECT_TRUE(std::equal(rgb.begin() + y * stride, rgb.begin() + (y + 1) * stride, raw.begin() + y * (stride + 1) + 1))
          << "row " << y;
    }
  }
}

TEST(PngFile, PixelsThatDoNotMatchTheSizeAreRefused) {
  EXPECT_THROW(pel::demo::EncodePng(2, 2, Bytes(11)), std::invalid_argument);
  EXPECT_THROW(pel::demo::EncodePng(0, 2, Bytes{}), std::invalid_argument);
}

}  // namespace
