// Benchmark, not a test: the studio's end-of-run hand-back of 50 000 rows,
// the text built and set on the clipboard as End does it. Prints a bench
// row with the median of a few rounds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "studio/Clipboard.h"
#include "studio/core/RecordTable.h"

int main() {
  constexpr int kRows = 50000;
  std::vector<tessaly::TDataRecord> rows(kRows);
  for (int i = 0; i < kRows; ++i) {
    rows[i].Time = i * 0.001;
    for (int k = 0; k < 4; ++k) rows[i].Values[k] = 1.234 * (k + 1) + 0.0001 * (i % 1000);
  }
  tessaly::TableShape shape;
  shape.sensorIds = {12, 5, 30, -1, -1, -1, -1, -1};
  std::vector<double> ms;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    try {
      const std::string text = tessaly::ClipboardTable(rows, kRows, shape);
      tessaly::Clipboard clip(nullptr);
      clip.Clear();
      clip.SetText(text);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "hand-back failed: %s\n", e.what());
      return 1;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("BENCH\tstudio hand-back of 50000 rows to the clipboard\t%.1f\tms\t100\tlower\n", ms[ms.size() / 2]);
  return 0;
}
