#pragma once
// The engine functions the control calls, as one table: the control uses the
// imported ones; tests put a recording engine behind the same table.
#include "graphengine/Pegrpapi.h"

namespace pel::graph {

struct EngineApi {
  decltype(&::PEcreate) create;
  decltype(&::PEdestroy) destroy;
  decltype(&::PEreinitialize) reinitialize;
  decltype(&::PEresetimage) resetImage;
  decltype(&::PEnset) nset;
  decltype(&::PEnget) nget;
  decltype(&::PEvsetW) vset;
  decltype(&::PEvgetW) vget;
  decltype(&::PEszsetW) szset;
  decltype(&::PEszgetW) szget;
  decltype(&::PEvsetcellW) vsetcell;
  decltype(&::PEvgetcellW) vgetcell;
  decltype(&::PEvsetcellExW) vsetcellEx;
  decltype(&::PEgetmeta) getMeta;
  decltype(&::PEplaymetafile) playMeta;
  decltype(&::PEbitmapandgradients) bitmapAndGradients;
  decltype(&::PEallocateindmemory) allocateIndMemory;
  decltype(&::PEdrawcursor) drawCursor;
  decltype(&::PEconvpixeltograph) convPixelToGraph;

  // The functions imported from PEGRP32D.DLL.
  static const EngineApi& Imported();
};

}  // namespace pel::graph
