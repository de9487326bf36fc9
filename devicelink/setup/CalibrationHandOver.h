#pragma once
// Calibration points and the calibration waiting to be sent to a USB sensor.
// Written on the host's main thread (SetCalibratData, SensorZeroSetting), read
// by the USB sensor poll, which may run on the USB polling thread. The
// component owns one per process. A lock guards the data; the pending flag is
// published after the data (release) so the poll can test it cheaply (acquire).

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "devicelink/setup/CalibrationFit.h"

namespace pel::setup {

struct CalibrationOrder {
  bool on = false;  // false: send the reset
  int channel = 0;  // 0 is A
  CalibrationCoefficients coefficients;
  bool twoSegment = false;
  CalibrationCoefficients second;
  double segmentBreak = 0.0;
};

class CalibrationHandOver {
 public:
  // Main thread.
  int PointCount() const;
  std::vector<CalibrationPoint> Points() const;
  // False when five points are held already: the point is dropped.
  bool AddPoint(CalibrationPoint p);
  void ClearPoints();
  // Replaces any calibration that the poll has not taken yet.
  void Publish(const CalibrationOrder& order);

  // Poll side.
  bool Pending() const noexcept { return pending_.load(std::memory_order_acquire); }
  struct Taken {
    CalibrationOrder order;
    std::uint64_t ticket = 0;
  };
  // A copy of the pending calibration; it stays pending until MarkSent.
  std::optional<Taken> PeekPending() const;
  // After the send: clears the points and the pending flag, unless a newer
  // calibration was published meanwhile (that one stays pending).
  void MarkSent(std::uint64_t ticket);

 private:
  mutable std::mutex mutex_;
  std::array<CalibrationPoint, kMaxCalibrationPoints> points_{};
  int count_ = 0;
  CalibrationOrder order_;
  std::uint64_t ticket_ = 0;
  std::atomic<bool> pending_{false};
};

}  // namespace pel::setup
