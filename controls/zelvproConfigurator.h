// The document window's configurator, the program-wide one: it uses the global switchboard, is
// single-page when the application's settings ask for it (flags2 kSinglePageConfigurator), and
// registers itself as the configurator host (framework/iElementServices.h) for as long as it lives.
// User-interface thread only.
#pragma once

#include "controls/ppConfigurator.h"

class zelvproConfigurator : public ppConfigurator {
 public:
  zelvproConfigurator(ppView* parent, const plat::RECT& frame);
  ~zelvproConfigurator() override;
};
