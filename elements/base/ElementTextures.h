// The process-wide texture cache of the plan elements: one texture picture per key {the settings
// "identifier" of the catalogue, the texture record id}, made at the first request and kept for
// the rest of the run. Elements never own the pictures. User-interface thread only.
#pragma once

#include "scene3d/context/ppObjectMap.h"

class ppDatafile;
class ppPicture;

class ElementTextures {
 public:
  static ppObjectMap& Map();
  // The picture of the texture record just read into `textures`' buffer ("texture128" when not
  // empty, else "texture"; repeat and modulate from its flags), kept in the map under `key`; null
  // when the record holds no picture.
  static const ppPicture* Keep(const ppObjectMap::Key& key, ppDatafile& textures);
  // Forgets every texture (the run's reset).
  static void Reset();
};
