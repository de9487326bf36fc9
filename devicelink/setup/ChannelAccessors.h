#pragma once
// Channel accessors (CHA to CHH with their Unit, ID and Name) and the simple
// gated setters of the published properties.

#include <string>

#include "devicelink/setup/SetterOutcome.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// index 0 (A) to 7 (H); an index outside gives false, empty texts and -1.
bool ChannelFlag(const SetupView& s, int index);
std::string ChannelUnit(const SetupView& s, int index);
std::string ChannelName(const SetupView& s, int index);
int ChannelID(const SetupView& s, int index);

// CHA to CHD (index 0 to 3); reloadSensorInfo asks for the texts of A to D.
SetterOutcome SetChannelFlag(const SetupView& s, int index, bool v);

SetterOutcome SetCHOutput(const SetupView& s, bool v);
SetterOutcome SetPWMFreqValue(const SetupView& s, int v, const SensorCatalog& sensors);
SetterOutcome SetPWMFreqSelect(const SetupView& s, bool v, const SensorCatalog& sensors);
SetterOutcome SetNoOfStroboSlit(const SetupView& s, int v);

}  // namespace pel::setup
