#pragma once
// The set-up rules of the device link in one include.
//
// Each rule takes a SetupView of the component's own fields and the call's
// arguments, changes the fields in place and returns what to do:
//  - SetterOutcome (property setters): `error` to raise (0 none); `refused` for
//    a value ignored; `clearsErrorNumber` for the setters that reset
//    ErrorNumber to 0 first; `reloadSensorInfo` after CHA to CHD.
//  - CommandOutcome / RangeOutcome / ZeroOutcome (published methods, which set
//    ErrorNumber := 0 on entry and return it): `error`, then `commands` to
//    pass to SendCommand in order, without awaiting replies; on USB sensors
//    `usbPacket` (range) or `calibration` (to Publish on the hand-over).
//  - SetCalibratData: the point action on the hand-over's points; ErrorNumber
//    is touched only when `error` is 12.
// What a rule changed stays whatever the outcome (some refusals still plan
// records).

#include "devicelink/setup/AcquisitionSetters.h"
#include "devicelink/setup/CalibrationFit.h"
#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/setup/ChannelAccessors.h"
#include "devicelink/setup/CommandOutcome.h"
#include "devicelink/setup/OutputCommands.h"
#include "devicelink/setup/SensorSetup.h"
#include "devicelink/setup/SetupTypes.h"
