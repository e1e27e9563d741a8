#include "controls/zelvproConfigurator.h"

#include "framework/ApplicationSettings.h"
#include "framework/iElementServices.h"

zelvproConfigurator::zelvproConfigurator(ppView* parent, const plat::RECT& frame)
    : ppConfigurator(parent, frame, nullptr, (ApplicationFlags2() & kSinglePageConfigurator) != 0) {
  SetConfiguratorHost(this);
  RemoveAll();
}

zelvproConfigurator::~zelvproConfigurator() {
  if (ConfiguratorHost() == this) SetConfiguratorHost(nullptr);
}
