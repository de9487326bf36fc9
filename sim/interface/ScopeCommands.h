#pragma once
// Scope runs on models with InterfaceSettings::scopeRuns: "s{89,n}" sets the
// time base, "s{88,1,rows}" samples rows x 10 values into the buffer,
// "s{88,2,pos,n}" answers a block of it, "s{88,0}" ends the run.
namespace pel::sim {

class SimEngine;
void installScopeCommands(SimEngine& engine);

}  // namespace pel::sim
