#pragma once
// Value names of the dialog texts under "...\Message\<language>\RunExperimentDialog"
// with the built-in English text used when the registry has none.
namespace tessaly::texts {

struct Text {
  const char* value;
  const char* builtIn;
};
constexpr Text Seconds{"Message1", "sec"};      // unit label of the digital channel
constexpr Text TimeAxis{"Message1", "Time(s)"};  // x axis in time mode
constexpr Text EventAxis{"Message2", "NO"};      // x axis in event mode
constexpr Text Start{"Message7", "Start"};
constexpr Text Stop{"Message8", "Stop"};
constexpr Text Recording{"Message10", "Recording"};
constexpr Text Input{"Message21", "Input"};
constexpr Text End{"Message22", "End"};
constexpr Text EraseAfterStart{"Message24", "Erase after start"};

}  // namespace tessaly::texts
