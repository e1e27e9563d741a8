// One element's share of the drawing export: while a DXF dump runs, the element's printed outlines
// become closed polylines on the layer "FURNITURE" inside a block of its own ("ZELVO-n", numbered per
// dump), which is then inserted once at the drawing's origin. Outside a dump every call does nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/VconString.h"
#include "foundation/ppVector2.h"

class DxfWriter;

class FurnitureBlock {
 public:
  // Begins the next block of the dump, when one runs.
  FurnitureBlock();
  FurnitureBlock(const FurnitureBlock&) = delete;
  FurnitureBlock& operator=(const FurnitureBlock&) = delete;

  bool Active() const { return writer_ != nullptr; }
  // An outline as printed: its points in page pixels, each once (the polyline's flag closes it).
  // However many points it has, every one is written.
  void BeginOutline() { points_.clear(); }
  void AddPoint(int32_t x, int32_t y);
  // Writes the outline gathered since BeginOutline; an outline without points writes nothing.
  void EndOutline();
  // Ends the block, leaves it and writes its INSERT. Once; later calls do nothing.
  void Finish();

 private:
  DxfWriter* writer_ = nullptr;  // the dump's writer, not owned; null outside a dump
  Vcon::String name_;
  std::vector<ppVector2> points_;  // mirrored as the dump writes them
};
