#pragma once
// The chart view over a PESGraph on a given engine (the program's is the
// imported one).
#include <memory>

#include "graph/EngineApi.h"
#include "studio/GraphSeam.h"

namespace tessaly {

std::unique_ptr<FormChart> MakePesChart(HWND parent, int id, int left, int top, int width, int height,
                                        const pel::graph::EngineApi& engine);

}  // namespace tessaly
