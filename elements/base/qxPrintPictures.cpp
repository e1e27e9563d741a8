#include "elements/base/qxPrintPictures.h"

#include "framework/ppPicture.h"
#include "scene3d/panes/zelvpro3DPane.h"

qxPictureResult qxPrintPictures::Plan(qxPictureItem* items, std::vector<qxPictureMark>* marks,
                                      const plat::RECT& target) {
  zelvpro3DPane* pane = zelvpro3DPane::Current();
  if (pane == nullptr) return {};
  return qxPanePictures::Plan(*pane, items, marks, target);
}

qxPictureResult qxPrintPictures::Group(qxPictureItem* items, const plat::RECT& target) {
  zelvpro3DPane* pane = zelvpro3DPane::Current();
  if (pane == nullptr) return {};
  return qxPanePictures::Elevation(*pane, items, target, false);
}

qxPrintPictures& qxPrintPictures::Default() {
  // Holds no state, so it needs no reset.
  static qxPrintPictures pictures;
  return pictures;
}
