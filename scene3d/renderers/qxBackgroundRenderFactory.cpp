#include "scene3d/renderers/qxBackgroundRenderFactory.h"

const qxBackgroundRenderFactory& qxBackgroundRenderFactory::Instance() {
  static const qxBackgroundRenderFactory factory;
  return factory;
}
