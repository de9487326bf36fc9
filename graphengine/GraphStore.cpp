#include "graphengine/GraphStore.h"

#include <algorithm>
#include <cstring>

#include "graphengine/PESGraphProperties.h"

namespace pel::graphengine {
namespace {

constexpr float kDefaultNull = -99999.0f;

// Settings that describe the painting itself, not the picture.
bool IsBookkeeping(unsigned id) {
  return id == pid::ImageDirty || id == pid::PaintInProgress || id == pid::NotifyWindow || id == pid::EngineBitmap ||
         id == pid::EngineMemoryDc;
}

}  // namespace

// Value kinds of the published settings, by the control's accessor kind.
namespace kind {
constexpr ValueKind Number = ValueKind::Number, Bool = ValueKind::Number, Enum = ValueKind::Number,
                    PlotMethod = ValueKind::Number, PlotMethodII = ValueKind::Number, Double = ValueKind::Double,
                    Single = ValueKind::Single, Text = ValueKind::Text;
}

ValueKind KindOf(unsigned id) {
  switch (id) {
#define PEL_KIND_CASE(type, k, name, propertyId, group) \
  case propertyId:                                    \
    return kind::k;
    PEL_GRAPH_PROPERTIES(PEL_KIND_CASE)
#undef PEL_KIND_CASE
    default:
      return ValueKind::Unknown;
  }
}

GraphStore::GraphStore() {
  // The engine's own defaults for what it draws.
  numbers_[pid::DeskColor] = 0xC0C0C0;
  numbers_[pid::GraphBackColor] = 0xFFFFFF;
  numbers_[pid::GraphForeColor] = 0x808080;
  numbers_[pid::TextColor] = 0;
  numbers_[pid::Subsets] = 1;
  numbers_[pid::Points] = 0;
  doubles_[pid::NullDataValueX] = kDefaultNull;
  doubles_[pid::NullDataValueY] = kDefaultNull;
  ResizeData();
}

void GraphStore::Touch() {
  ++version_;
  numbers_[pid::ImageDirty] = 1;
}

void GraphStore::SetNumber(unsigned id, std::int32_t v) {
  numbers_[id] = v;
  if (id == pid::Subsets || id == pid::Points) ResizeData();
  if (!IsBookkeeping(id)) Touch();
}

std::int32_t GraphStore::Number(unsigned id) const {
  auto it = numbers_.find(id);
  return it == numbers_.end() ? 0 : it->second;
}

void GraphStore::SetDouble(unsigned id, double v) {
  doubles_[id] = v;
  Touch();
}
double GraphStore::Double(unsigned id) const {
  auto it = doubles_.find(id);
  return it == doubles_.end() ? 0.0 : it->second;
}
void GraphStore::SetSingle(unsigned id, float v) {
  singles_[id] = v;
  Touch();
}
float GraphStore::Single(unsigned id) const {
  auto it = singles_.find(id);
  return it == singles_.end() ? 0.0f : it->second;
}

void GraphStore::SetText(unsigned id, std::u16string v) {
  if (id == pid::YAxisLabel) axisLabels_[Number(pid::WorkingAxis)] = v;
  texts_[id] = std::move(v);
  Touch();
}
std::u16string GraphStore::Text(unsigned id) const {
  if (id == pid::YAxisLabel) return AxisLabel(Number(pid::WorkingAxis));
  auto it = texts_.find(id);
  return it == texts_.end() ? std::u16string() : it->second;
}
std::u16string GraphStore::AxisLabel(int axis) const {
  auto it = axisLabels_.find(axis);
  return it == axisLabels_.end() ? std::u16string() : it->second;
}

bool GraphStore::SetCell(unsigned id, int index, const void* value) {
  if (index < 0 || !value) return false;
  if (id == pid::SubsetLabels) {
    subsetLabels_[index] = static_cast<const char16_t*>(value);
  } else if (id == pid::GridNumberCell) {
    double d;
    std::memcpy(&d, value, sizeof d);
    gridNumbers_[index] = d;
  } else {
    std::int32_t n;
    std::memcpy(&n, value, sizeof n);
    intCells_[{id, index}] = n;
  }
  Touch();
  return true;
}

bool GraphStore::GetCell(unsigned id, int index, void* out) const {
  if (index < 0 || !out) return false;
  if (id == pid::SubsetLabels) return false;  // texts go out only through the subset label
  if (id == pid::GridNumberCell) {
    auto it = gridNumbers_.find(index);
    const double d = it == gridNumbers_.end() ? 0.0 : it->second;
    std::memcpy(out, &d, sizeof d);
    return true;
  }
  const std::int32_t n = IntCell(id, index, 0);
  std::memcpy(out, &n, sizeof n);
  return true;
}

int GraphStore::IntCell(unsigned id, int index, int fallback) const {
  auto it = intCells_.find({id, index});
  return it == intCells_.end() ? fallback : it->second;
}

std::u16string GraphStore::SubsetLabel(int subset) const {
  auto it = subsetLabels_.find(subset);
  return it == subsetLabels_.end() ? std::u16string() : it->second;
}

void GraphStore::ResizeData() {
  const long long subsets = std::clamp<long long>(Number(pid::Subsets), 0, kMaxSubsets);
  const long long points = std::clamp<long long>(Number(pid::Points), 0, kMaxValues / std::max(subsets, 1LL));
  const float nullX = static_cast<float>(Double(pid::NullDataValueX));
  const float nullY = static_cast<float>(Double(pid::NullDataValueY));
  x_.resize(subsets);
  y_.resize(subsets);
  for (auto& s : x_) s.resize(points, nullX);
  for (auto& s : y_) s.resize(points, nullY);
}

bool GraphStore::SetData(unsigned id, int subset, int point, float v) {
  auto& data = id == pid::XData ? x_ : y_;
  if (subset < 0 || point < 0 || subset >= static_cast<int>(data.size()) ||
      point >= static_cast<int>(data[subset].size()))
    return false;
  data[subset][point] = v;
  Touch();
  return true;
}

bool GraphStore::SetDataArray(unsigned id, const float* values, long long count) {
  if ((id != pid::XData && id != pid::YData) || !values || count < 0) return false;
  auto& data = id == pid::XData ? x_ : y_;
  long long at = 0;
  for (auto& subset : data) {
    if (at >= count) break;
    const long long n = std::min<long long>(static_cast<long long>(subset.size()), count - at);
    std::copy(values + at, values + at + n, subset.begin());
    at += n;
  }
  Touch();
  return true;
}

float GraphStore::X(int subset, int point) const { return x_.at(subset).at(point); }
float GraphStore::Y(int subset, int point) const { return y_.at(subset).at(point); }
bool GraphStore::IsNullX(float v) const { return v == static_cast<float>(Double(pid::NullDataValueX)); }
bool GraphStore::IsNullY(float v) const { return v == static_cast<float>(Double(pid::NullDataValueY)); }

}  // namespace pel::graphengine
