#pragma once
#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// Result of a property setter: what the component must do (the rule changed
// the fields in place).
struct SetterOutcome {
  int error = error::None;         // raise through RaiseDeviceError when not 0
  bool refused = false;            // the value was ignored (silently unless error is set)
  bool clearsErrorNumber = false;  // ErrorNumber := 0 before anything is raised
  bool reloadSensorInfo = false;   // reload the texts of channels A to D (CHA to CHD)
};

}  // namespace pel::setup
