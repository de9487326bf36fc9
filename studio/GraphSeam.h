#pragma once
// The graph on the form: the graph control behind the studio's chart view.
#include <windows.h>

#include <memory>

#include "studio/core/ChartSurface.h"

namespace tessaly {

class FormChart {
 public:
  virtual ~FormChart() = default;
  virtual ChartSurface& Surface() = 0;
};

// Creates the graph as a child of parent at the given place.
std::unique_ptr<FormChart> MakeFormChart(HWND parent, int id, int left, int top, int width, int height);

}  // namespace tessaly
