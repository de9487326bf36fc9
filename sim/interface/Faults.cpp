#include "sim/interface/Faults.h"

#include <algorithm>

namespace pel::sim {

std::vector<std::string> PieceCutter::cut(std::string_view bytes, Delivery mode) {
  std::vector<std::string> pieces;
  if (bytes.empty()) return pieces;
  switch (mode) {
    case Delivery::Whole:
      pieces.emplace_back(bytes);
      break;
    case Delivery::ByteByByte:
      for (char c : bytes) pieces.emplace_back(1, c);
      break;
    case Delivery::RandomPieces: {
      std::size_t pos = 0;
      while (pos < bytes.size()) {
        std::size_t n = 1 + rng_() % 8;
        n = std::min(n, bytes.size() - pos);
        pieces.emplace_back(bytes.substr(pos, n));
        pos += n;
      }
      break;
    }
  }
  return pieces;
}

std::string noiseLine(std::minstd_rand& rng, std::size_t length) {
  static constexpr std::string_view alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,;:-+*#%&?!";
  std::string s;
  for (std::size_t i = 0; i < length; ++i) s += alphabet[rng() % alphabet.size()];
  return s;
}

}  // namespace pel::sim
