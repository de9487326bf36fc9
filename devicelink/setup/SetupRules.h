#pragma once
// The set-up rules of the device link in one include.
//
// Each rule takes the component's SetupState (by value) and the call's
// arguments and returns the new state with what to do:
//  - SetterOutcome (property setters): `error` to raise (0 none); `refused` for
//    a value ignored; `clearsErrorNumber` for the setters that reset
//    ErrorNumber to 0 first; `reloadSensorInfo` after CHA to CHD.
//  - CommandOutcome / RangeOutcome / ZeroOutcome (published methods, which set
//    ErrorNumber := 0 on entry and return it): `error`, then `commands` to
//    pass to SendCommand in order, without awaiting replies; on USB sensors
//    `usbPacket` (range) or `calibration` (to Publish on the hand-over).
//  - SetCalibratData: the point action on the hand-over's points; ErrorNumber
//    is touched only when `error` is 12.
// The state is kept by the component whatever the outcome: a refusal
// returns the state as the rule left it (some refusals still plan records).

#include "devicelink/setup/AcquisitionSetters.h"
#include "devicelink/setup/CalibrationFit.h"
#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/setup/ChannelAccessors.h"
#include "devicelink/setup/CommandOutcome.h"
#include "devicelink/setup/OutputCommands.h"
#include "devicelink/setup/SensorSetup.h"
#include "devicelink/setup/SetupTypes.h"
