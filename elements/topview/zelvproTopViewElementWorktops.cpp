#include "elements/base/iWorktopBuilder.h"
#include "elements/topview/zelvproTopViewElement.h"

zelvproElement* zelvproTopViewElement::BuildWorktopStep(zelvproElement* run) {
  return iWorktopBuilder::Current().BuildWorktopsOfUnit(*this, run);
}
