// A ray of the 3D view: an origin and a direction in scene millimetres, both copied in.
#pragma once

#include "foundation/ppRay.h"

struct qxRay : ppRay {
  qxRay(const ppVector3& from, const ppVector3& towards) {
    origin = from;
    direction = towards;
  }
};
