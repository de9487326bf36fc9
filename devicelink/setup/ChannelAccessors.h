#pragma once
// Channel accessors (CHA to CHH with their Unit, ID and Name) and the simple
// gated setters of the published properties.

#include <string>

#include "devicelink/setup/SetterOutcome.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// index 0 (A) to 7 (H); an index outside gives false, empty texts and -1.
bool ChannelFlag(const SetupState& s, int index);
std::string ChannelUnit(const SetupState& s, int index);
std::string ChannelName(const SetupState& s, int index);
int ChannelID(const SetupState& s, int index);

// CHA to CHD (index 0 to 3); reloadSensorInfo asks for the texts of A to D.
SetterOutcome SetChannelFlag(SetupState s, int index, bool v);

SetterOutcome SetCHOutput(SetupState s, bool v);
SetterOutcome SetPWMFreqValue(SetupState s, int v, const SensorCatalog& sensors);
SetterOutcome SetPWMFreqSelect(SetupState s, bool v, const SensorCatalog& sensors);
SetterOutcome SetNoOfStroboSlit(SetupState s, int v);

}  // namespace pel::setup
