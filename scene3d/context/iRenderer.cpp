#include "scene3d/context/iRenderer.h"

void iRenderer::CopyBaseFrom(const iRenderer& other) {
  context = other.context;
  mask = other.mask;
  pass = other.pass;
}
