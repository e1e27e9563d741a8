#pragma once
// What a DXF dump shares with the print drawing that feeds it: whether a dump runs, the running
// number of the furniture blocks and the height that mirrors the page's y axis (DXF y grows upwards,
// page y downwards).
//
// One state serves the process; it belongs to the user-interface thread, which prints the page. The
// driver starts it right after making its writer current (DxfWriter::SetCurrent) and stops it before
// clearing that; the drawing code writes only through a non-null DxfWriter::Current().

#include <cstdint>

#include "foundation/VconString.h"
#include "foundation/ppVector2.h"

class DxfExportState {
 public:
  static DxfExportState& Shared();

  // A dump begins: active, block numbers from 1 again, y mirrored about `flipHeight` (page units:
  // the printed sheet's height, so that the room outline and the furniture share one mirror). Each
  // dump numbers its blocks alone, so a file depends only on its page.
  void Start(float flipHeight);
  void Stop();
  bool IsActive() const { return active; }

  // Counts one more furniture block and names it: "ZELVO-1" for the first of a dump.
  Vcon::String NextBlockName();
  int32_t BlockCount() const { return blockCounter; }

  float Height() const { return height; }
  // A page point as the dump writes it: x unchanged, y replaced by the height minus y.
  ppVector2 Flip(const ppVector2& pagePoint) const;

 private:
  bool active = false;
  int32_t blockCounter = 0;
  float height = 0.0f;
};
