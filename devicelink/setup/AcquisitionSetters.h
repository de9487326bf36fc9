#pragma once
// Setters of the acquisition properties with the limits of each model.

#include <optional>

#include "devicelink/setup/SetterOutcome.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// Shortest sampling time the model takes; none for an unknown or unnamed model.
std::optional<double> MinimumSamplingTime(int modelState);

// Active channels among A to H.
int CountActiveChannels(const SetupView& s);

// Records planned for a length and sampling time: Round(length / time) + 1,
// capped at maxRecordCount + 1 (also when the quotient is not positive).
int PlannedRecords(double length, double samplingTime, int maxRecordCount);

// The sampling time setter's last step: with AutoStop the length is cut to
// the record limit (1 s at least), then the records are planned again.
void FitLengthAndPlan(const SetupView& s);

SetterOutcome SetSamplingTime(const SetupView& s, double t);
SetterOutcome SetExperimentLength(const SetupView& s, double length);
SetterOutcome SetCHInputMode(const SetupView& s, CHInput m, const SensorCatalog& sensors);
SetterOutcome SetNoOfOverSampling(const SetupView& s, int count);

// Upper bound of NoOfOverSampling for the current sampling time.
int OverSamplingLimit(double samplingTime);

}  // namespace pel::setup
