// The 3D layers of one unit as one element shows it: the unit id, the depth record id, the catalogue
// database and one layer per layer code, in ascending code order. Cached records are shared by every
// element that shows the same unit at the same depth from the same catalogue (see UnitLayerCache).
#pragma once

#include <cstdint>
#include <vector>

#include "scene3d/objects/qxUnitLayer3D.h"

class zelvDatabase;

struct TripleWithSet {
  int32_t unitId = 0;
  int32_t depthId = 0;
  zelvDatabase* database = nullptr;  // not owned
  std::vector<qxUnitLayer3D> layers;
};
