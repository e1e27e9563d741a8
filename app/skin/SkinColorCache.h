// The skin's colours by skin id, each read from the skin database's colour table once and kept for
// the run (colours are asked for on every repaint). A colour is kept in percent (0 to 100 per
// channel), as the skin stores it; an id the skin lacks, or a run without a skin, keeps white.
//
// Owned by the application object; user-interface thread only.
#pragma once

#include <cstdint>
#include <map>

#include "foundation/ppFloat4.h"
#include "framework/ColorConversion.h"

class SkinColorCache {
 public:
  // The colour in percent, from the cache or else from the skin database (then kept).
  ppRGBColor Percent(int32_t id);
  // Bytes 0 to 255: percent x 255 / 100, rounded.
  ppRGBColor Bytes(int32_t id);
  // Each channel percent / 100, alpha 1.
  ppFloat4 Float(int32_t id);
  // Keeps `color` (0 to 1 per channel, alpha ignored) as percent, each truncated toward zero.
  void Set(int32_t id, const ppFloat4& color);
  // How many colours were read from the database (a kept colour is not read again).
  int32_t DatabaseReads() const { return reads_; }

  // The packed skin colour: red in bits 24-31, green 16-23, blue 8-15, percent each; values
  // above 100 are taken as 100.
  static ppRGBColor Unpack(uint32_t packed);

 private:
  std::map<int32_t, ppRGBColor> colors_;
  int32_t reads_ = 0;
};
