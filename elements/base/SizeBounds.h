// The box an element's size texts measure (its panel's size line, its price line's long text): the
// element's own 3D body and its children's, but not the accessories it carries; a hob set into a base
// unit's top is no part of the unit's size. Millimetres, in the element's frame.
// User-interface thread only.
#pragma once

#include "foundation/ppBounds3.h"

class zelvproElement;

ppBounds3 SizeBounds(zelvproElement& element);
