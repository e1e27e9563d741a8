#include "canvas/editor/iViewBarServices.h"

#include "controls/zelvproLogoPane.h"

ppView* iViewBarServices::MakeLogoPane(ppView* bar, const plat::RECT& frame) {
  return new zelvproLogoPane(bar, frame);
}

iViewBarServices& iViewBarServices::Neutral() {
  static iViewBarServices neutral;
  return neutral;
}
