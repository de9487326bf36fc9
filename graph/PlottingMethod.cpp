#include "graph/PlottingMethod.h"

#include <array>

namespace pel::graph {
namespace {

// Engine number of each ordinal, in ordinal order.
constexpr std::array<std::int32_t, 16> kMethod{0, 2, 4, 8, 13, 15, 16, 12, 17, 3, 1, 11, 21, 22, 23, 24};
constexpr std::array<std::int32_t, 9> kMethodII{0, 2, 8, 13, 15, 16, 17, 21, 22};

template <std::size_t N>
std::int32_t ToEngine(const std::array<std::int32_t, N>& table, unsigned char ordinal) {
  return ordinal < N ? table[ordinal] : 0;
}

template <std::size_t N>
unsigned char FromEngine(const std::array<std::int32_t, N>& table, std::int32_t engine) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == engine) return static_cast<unsigned char>(i);
  return 0;
}

}  // namespace

std::int32_t PlottingMethodToEngine(unsigned char ordinal) { return ToEngine(kMethod, ordinal); }
std::int32_t PlottingMethodIIToEngine(unsigned char ordinal) { return ToEngine(kMethodII, ordinal); }

ePlottingMethod PlottingMethodFromEngine(std::int32_t engine) {
  return static_cast<ePlottingMethod>(FromEngine(kMethod, engine));
}
ePlottingMethodII PlottingMethodIIFromEngine(std::int32_t engine) {
  return static_cast<ePlottingMethodII>(FromEngine(kMethodII, engine));
}

}  // namespace pel::graph
