#pragma once
// What the export reads of a finished download: a snapshot of the capture
// table and the capture's settings. The dialog copies its table into one of
// these before it enables the Loading button again, so a new download can
// refill the table while the export still runs.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon {

struct ExportSource {
  // One entry per row, copied from the table's columns A, B and C (the fourth
  // column is never exported). All three have the same length; use SetRows.
  std::vector<float> columnA;
  std::vector<float> columnB;
  std::vector<float> columnC;

  // Sensor of channels A, B, C in this capture; 0: the channel takes no part.
  std::int32_t sensorId[3] = {0, 0, 0};
  float slowInterval = 0.0f;  // seconds (interval in ms / 1000)
  float fastInterval = 0.0f;  // seconds (interval in 0.1 ms / 10000)

  // How the rows were captured, latched when the download started: set when
  // they are level-mode crossing times (never for a Sorn block download).
  // The Level check box at export time does not matter.
  bool levelRows = false;

  bool useValue2 = false;  // ProbeOsVersion's choice: Range.Value2 over Range.Value

  int RowCount() const { return static_cast<int>(columnA.size()); }
  bool ChannelActive(int channel) const { return sensorId[channel] != 0; }
  const std::vector<float>& Column(int channel) const {
    return channel == 0 ? columnA : channel == 1 ? columnB : columnC;
  }
};

// Copies the first rowCount rows of the table's columns; a count below 0 or
// beyond the shortest column is clamped.
void SetRows(ExportSource& source, std::span<const float> a, std::span<const float> b,
             std::span<const float> c, int rowCount);

// Fast capture: fastInterval * 10000 + 0.1, truncated toward zero, is not 0.
bool IsFastCapture(const ExportSource& source);

// The capture's time step: the fast interval for a fast capture, else the slow one.
float TimeStep(const ExportSource& source);

// Registry texts the export needs. The dialog implements it over
// ReadRegString and GetLocalizedText with the program's language number;
// a missing text is an empty string.
class ExportTexts {
 public:
  virtual ~ExportTexts() = default;
  // "Message1".."Message3" under "...\Pelmora\Message\<lang>\RunExperimentDialog".
  virtual std::string RunExperimentText(const std::string& name) const = 0;
  // "Unit%d" with the sensor id under "...\Pelmora\Message\<lang>\SensorInfo".
  virtual std::string UnitText(std::int32_t sensorId) const = 0;
  // "QuillonDlg11".."QuillonDlg13" through GetLocalizedText, section "\Message".
  virtual std::string MessageText(const std::string& key) const = 0;
  // "ListMode1" through GetLocalizedText, section "\MainProcess".
  virtual std::string MainProcessText(const std::string& key) const = 0;
};

}  // namespace quillon
