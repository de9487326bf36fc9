#pragma once
// The capture table: four parallel columns (A, B, C and a fourth) of 50016
// floats and a row count. About 800 KB: lives inside a heap-held owner.
#include <array>

namespace quillon {

inline constexpr int kCaptureRows = 50016;
// A frame is stored only while fewer rows than this are held.
inline constexpr int kStoreLimit = 50010;

struct CaptureTable {
  std::array<std::array<float, kCaptureRows>, 4> columns{};
  int m_rowCount = 0;

  // Returns false (table unchanged) when the table is full.
  bool PushSample(float a, float b, float c, float d) {
    if (m_rowCount >= kCaptureRows) return false;
    columns[0][m_rowCount] = a;
    columns[1][m_rowCount] = b;
    columns[2][m_rowCount] = c;
    columns[3][m_rowCount] = d;
    ++m_rowCount;
    return true;
  }
  void ClearSamples() { m_rowCount = 0; }
};

// One used memory buffer of the interface.
struct BufferInfo {
  int number = 0;        // 1 to 16
  int msInterval = 0;    // interval in ms
  int fastInterval = 0;  // interval in 0.1 ms
  int sensor[3] = {0, 0, 0};
  int count = 0;  // samples
};

}  // namespace quillon
