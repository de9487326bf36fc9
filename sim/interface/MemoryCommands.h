#pragma once
// The memory-bank commands of Sorn II, Qor and Aster (InterfaceSettings::
// memory): captures "s{82,ch,n}", "s{80,1}" / "s{83}", "s{80,0}" and the
// line that ends a capture; the directory "s{80,3}" or "s{80,10}" and
// "s{80,11,k}"; downloads "s{80,4,b}" or "s{80,12,addr,n}"; erase
// "s{80,13}", "s{80,14,k}" (Aster). Models without memory answer none.
namespace pel::sim {

class SimEngine;
void installMemoryCommands(SimEngine& engine);

}  // namespace pel::sim
