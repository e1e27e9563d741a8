#include "elements/base/zelvproPaneElement.h"

#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"

namespace {

// GetBounds flags that ask for the element's cached own box.
constexpr int32_t kOwnBox = 0x240;

}  // namespace

bool zelvproPaneElement::IsSelected() { return element_->IsSelected(); }
void zelvproPaneElement::Select() { element_->Select(true); }
void zelvproPaneElement::Deselect() { element_->Deselect(true); }
void zelvproPaneElement::DeselectOthers() { element_->DoCommand(zelvproCanvas::kDeselectAll, 0); }
uint32_t zelvproPaneElement::Flags() { return element_->flags; }
int32_t zelvproPaneElement::KindCode() { return element_->kind; }

ppBounds3 zelvproPaneElement::GetBounds(uint32_t flags, float factor) {
  ppBounds3 box = element_->GetBounds(0, int32_t(flags));
  if (!box.IsEmpty()) box.half = ppVector3(box.half.x * factor, box.half.y * factor, box.half.z * factor);
  return box;
}

float zelvproPaneElement::AbsoluteAngle() { return element_->GetAbsoluteAngle(); }

ppMatrix4 zelvproPaneElement::AbsolutePlacement() {
  ppMatrix4 m;
  element_->BuildWorldMatrix(m);
  return m;
}

ppVector3 zelvproPaneElement::Position() {
  ppVector3 p;
  element_->GetAbsolutePosition(p);
  return p;
}

ppVector3 zelvproPaneElement::ReferencePoint() { return element_->GetAnchorOffset(); }
float zelvproPaneElement::Angle() { return element_->GetAngle(); }
iScene* zelvproPaneElement::ScenePart() { return element_; }
ppView* zelvproPaneElement::AsView() { return element_; }

void zelvproPaneElement::SetPending() { element_->pendingUpdate = 1; }

void zelvproPaneElement::RunPendingOf(zelvproElement& element) {
  if (element.pendingUpdate == 0) return;
  // The own box is recomputed, and the geometry rebuilt, only while the changed byte is set.
  if (element.changed != 0) element.GetBounds(0, kOwnBox);
  element.RefreshPartColours();
  // The byte stays: the plan's redraw pass reads it to repaint the element there, and clears it.
}
