#pragma once
// The two plotting-method properties are the only ones whose values are not
// the engine's own numbers: the engine numbers its plotting methods sparsely.
#include <cstdint>

#include "graphengine/GraphEnums.h"

namespace pel::graph {

// Enumeration ordinal to the engine's number; an ordinal beyond the last
// name sends 0 (line).
std::int32_t PlottingMethodToEngine(unsigned char ordinal);
std::int32_t PlottingMethodIIToEngine(unsigned char ordinal);

// Engine number to the enumeration; a number without a name reads as line.
ePlottingMethod PlottingMethodFromEngine(std::int32_t engine);
ePlottingMethodII PlottingMethodIIFromEngine(std::int32_t engine);

}  // namespace pel::graph
