#include "foundation/ppVector2.h"

#include "foundation/TolerantMath.h"

bool ppVector2::operator==(const ppVector2& b) const { return NearlyEqual(x, b.x) && NearlyEqual(y, b.y); }
