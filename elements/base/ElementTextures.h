// The process-wide texture cache of the plan elements: one texture picture per key {the settings
// "identifier" of the catalogue, the texture record id}, made at the first request and kept for
// the rest of the run. Elements never own the pictures. User-interface thread only.
#pragma once

#include "scene3d/context/ppObjectMap.h"

class ElementTextures {
 public:
  static ppObjectMap& Map();
  // Forgets every texture (the run's reset).
  static void Reset();
};
