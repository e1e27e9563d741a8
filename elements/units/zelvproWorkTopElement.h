// A worktop run: one plan element lying over consecutive base units of one kitchen group whose
// worktop parts agree in texture, height, thickness and depth. Its size vector holds the run length
// (x, millimetres; -1.0 while it has none), the thickness (y) and the depth (z); its position y is
// the height above the floor. The price list covers each run with catalogue worktop pieces.
//
// Ownership: as the top-view element. User-interface thread only.
#pragma once

#include <cstdint>

#include "elements/topview/zelvproTopViewElement.h"

class zelvproWorkTopElement : public zelvproTopViewElement {
 public:
  static constexpr int32_t kType = 17;
  static constexpr float kNoLength = -1.0f;
  // Heights, thicknesses and depths closer than this (millimetres) count as equal for joining.
  static constexpr float kJoinTolerance = 0.1f;

  zelvproWorkTopElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                        zelvproShapeFil& shapes);

  // A new run without length, made from the worktop record of the main catalogue and placed into
  // `parent` when given; null when that catalogue or its record is missing.
  static zelvproWorkTopElement* NewWorktopElement(ppView* parent);
  // Whether run `b` continues run `a`: the same texture and kitchen group, and heights above the
  // floor, thicknesses and depths within the tolerance. Positions along the run are not compared.
  static bool RunsJoin(const zelvproWorkTopElement& a, const zelvproWorkTopElement& b);

  const ppPicture* texture = nullptr;  // the texture of the worktop parts; not owned
  float directionAngle = 0.0f;         // radians, 0 to 2 pi
  int32_t kitchenGroup = 0;            // the units' "EnumGroup"
};
