// The registry of background renderers: empty (no count, no names, finds nothing).
#pragma once

#include "scene3d/renderers/iRenderFactory.h"

class qxBackgroundRenderFactory : public iRenderFactory {
 public:
  // The process's background registry.
  static const qxBackgroundRenderFactory& Instance();
};
