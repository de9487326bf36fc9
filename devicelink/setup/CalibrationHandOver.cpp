#include "devicelink/setup/CalibrationHandOver.h"

namespace pel::setup {

int CalibrationHandOver::PointCount() const {
  std::lock_guard lock(mutex_);
  return count_;
}

std::vector<CalibrationPoint> CalibrationHandOver::Points() const {
  std::lock_guard lock(mutex_);
  return {points_.begin(), points_.begin() + count_};
}

bool CalibrationHandOver::AddPoint(CalibrationPoint p) {
  std::lock_guard lock(mutex_);
  if (count_ >= kMaxCalibrationPoints) return false;
  points_[count_++] = p;
  return true;
}

void CalibrationHandOver::ClearPoints() {
  std::lock_guard lock(mutex_);
  count_ = 0;
}

void CalibrationHandOver::Publish(const CalibrationOrder& order) {
  std::lock_guard lock(mutex_);
  order_ = order;
  ++ticket_;
  pending_.store(true, std::memory_order_release);
}

std::optional<CalibrationHandOver::Taken> CalibrationHandOver::PeekPending() const {
  if (!Pending()) return std::nullopt;
  std::lock_guard lock(mutex_);
  if (!pending_.load(std::memory_order_relaxed)) return std::nullopt;
  return Taken{order_, ticket_};
}

void CalibrationHandOver::MarkSent(std::uint64_t ticket) {
  std::lock_guard lock(mutex_);
  if (ticket != ticket_) return;
  count_ = 0;
  pending_.store(false, std::memory_order_release);
}

}  // namespace pel::setup
