#include "graph/EngineApi.h"

namespace pel::graph {

const EngineApi& EngineApi::Imported() {
  static const EngineApi api{
      &::PEcreate,         &::PEdestroy,       &::PEreinitialize,       &::PEresetimage,
      &::PEnset,           &::PEnget,          &::PEvsetW,              &::PEvgetW,
      &::PEszsetW,         &::PEszgetW,        &::PEvsetcellW,          &::PEvgetcellW,
      &::PEvsetcellExW,    &::PEgetmeta,       &::PEplaymetafile,       &::PEbitmapandgradients,
      &::PEallocateindmemory, &::PEdrawcursor, &::PEconvpixeltograph};
  return api;
}

}  // namespace pel::graph
