#include "sim/interface/ScopeCommands.h"

#include "sim/interface/SimEngine.h"

namespace pel::sim {

void installScopeCommands(SimEngine&) {}

}  // namespace pel::sim
