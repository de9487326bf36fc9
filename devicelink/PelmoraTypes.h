#pragma once
// The device link's published enumerations and event types.
#include <functional>
#include <string>

#include "devicelink/setup/SetupTypes.h"

class TPelmora;

// One set of enumerations: the set-up rules change these fields in place.
using CHInput = pel::setup::CHInput;
using PWMOption = pel::setup::PWMOption;
using SensorRangeType = pel::setup::SensorRangeType;

class TPelmora;
using TEventDataReceived = std::function<void(TPelmora& sender, const std::wstring& data)>;
using TEventError = std::function<void(TPelmora& sender, int errorNumber)>;
using TEventStartExperiment = std::function<void(TPelmora& sender)>;
using TEventStopExperiment = std::function<void(TPelmora& sender)>;
