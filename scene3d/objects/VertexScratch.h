// The scratch block every 3D body builds one face in before copying it out: one process-wide block
// of vertex records that grows to the largest face asked for and never shrinks. Owned by the
// user-interface thread: bodies are built on one thread at a time. Freed by the reset list, or by
// Release at shut-down.
#pragma once

#include <cstddef>

#include "scene3d/objects/VertexRecord.h"

class VertexScratch {
 public:
  // At least `count` records; earlier contents are lost when the block grows.
  static VertexRecord* Reserve(size_t count);
  static size_t Capacity();
  static void Release();
};
