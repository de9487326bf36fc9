#pragma once
// Keeps a port or worker alive whose owner went away from inside that
// object's own hand-over: its thread waits for that very call, so it can only
// be joined once the call returned. Main thread only.
#include <functional>
#include <memory>

namespace pel::link {

// Takes the object; it is destroyed (its thread joined) at the first Sweep()
// after busy() turned false, at the latest when the process ends.
void ReapLater(std::shared_ptr<void> object, std::function<bool()> busy);
void SweepReaper();

}  // namespace pel::link
