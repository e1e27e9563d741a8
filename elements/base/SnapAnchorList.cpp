#include "elements/base/SnapAnchorList.h"

#include "elements/base/zelvproElement.h"

void SnapAnchorList::Changed() {
  if (owner_ != nullptr) owner_->NoteSnapChange();
}
