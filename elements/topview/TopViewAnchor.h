// A copy of one anchor record (layout "qxAnchor") of a unit: where the pieces of an option of class
// `classId` go. Anchors chain: an anchor's position is relative to the anchor whose eye is its hook.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

struct TopViewAnchor {
  int32_t eye = 0;
  int32_t hook = 0;     // 0: the chain ends here
  int32_t classId = 0;  // class record id
  ppVector3 position;   // millimetres
  float rotation = 0.0f;
};
