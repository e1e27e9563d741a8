// A ray: an origin point and a direction, millimetres.
#pragma once

#include "foundation/ppVector3.h"

struct ppRay {
  ppVector3 origin;
  ppVector3 direction;
};
