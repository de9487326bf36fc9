#pragma once
// The device link's published enumerations and event types.
#include <functional>
#include <string>

class TPelmora;

enum class CHInput : unsigned char { Digital, Analog, Scope };
enum class PWMOption : unsigned char {
  PWM,
  DC_Valtage,
  Sine_Wave,
  Square_Wave,
  Pyramidal_Wave,
  Sawtooth_Wave_Ramp_Up,
  Sawtooth_Wave_Ramp_Down
};
enum class SensorRangeType : unsigned char { Full_Range, General_Purpose, Sensitivae_Range };

class TPelmora;
using TEventDataReceived = std::function<void(TPelmora& sender, const std::wstring& data)>;
using TEventError = std::function<void(TPelmora& sender, int errorNumber)>;
using TEventStartExperiment = std::function<void(TPelmora& sender)>;
using TEventStopExperiment = std::function<void(TPelmora& sender)>;
