#include "sim/interface/MemoryCommands.h"

#include "sim/interface/SimEngine.h"

namespace pel::sim {

void installMemoryCommands(SimEngine&) {}

}  // namespace pel::sim
