#include "elements/base/qxPrintPaneElement.h"

#include "elements/base/zelvproElement.h"

ppBounds3 qxPrintPaneElement::GetBounds(uint32_t flags, float /*factor*/) {
  return element_->GetBounds(0, int32_t(flags));
}

float qxPrintPaneElement::AbsoluteAngle() { return element_->GetAbsoluteAngle(); }

ppMatrix4 qxPrintPaneElement::AbsolutePlacement() {
  ppMatrix4 placement;
  element_->BuildWorldMatrix(placement);
  return placement;
}

ppVector3 qxPrintPaneElement::Position() {
  ppVector3 at;
  element_->GetAbsolutePosition(at);
  return at;
}

ppVector3 qxPrintPaneElement::ReferencePoint() { return ppVector3(element_->dimensions.x, 0.0f, 0.0f); }

float qxPrintPaneElement::Angle() { return element_->GetAbsoluteAngle(); }

iScene* qxPrintPaneElement::ScenePart() { return element_; }
