#include "elements/units/zelvproTopGroupElement.h"

#include "elements/base/DeletionList.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/qxViewHolder.h"
#include "elements/units/qxGroupSweeper.h"
#include "foundation/Geometry3D.h"

namespace {

// The children in list order (the list is copied: callers may detach children while walking).
ElementList ChildrenOf(const ppView& view) {
  ElementList out;
  const ppViewList& children = view.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) out.push_back(child);
  }
  return out;
}

}  // namespace

zelvproTopGroupElement::zelvproTopGroupElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                               const char* record, zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  kind = ElementKinds::kGroup;
}

std::unique_ptr<ppRegion> zelvproTopGroupElement::GetFrameRegion() {
  auto region = std::make_unique<ppRegion>();
  for (zelvproElement* child : ChildrenOf(*this)) region->Union(*child->GetFrameRegion());
  return region;
}

std::unique_ptr<ppRegion> zelvproTopGroupElement::NewFrameRegion() {
  auto region = std::make_unique<ppRegion>();
  for (zelvproElement* child : ChildrenOf(*this)) region->Union(*child->NewFrameRegion());
  return region;
}

void zelvproTopGroupElement::DrawOutlineAt(int32_t x, int32_t y, float angle, float pivotX, float pivotY,
                                           ppDC& dc) {
  for (zelvproElement* child : ChildrenOf(*this)) child->DrawOutlineAt(x, y, angle, pivotX, pivotY, dc);
}

bool zelvproTopGroupElement::MouseDown(int32_t x, int32_t y) {
  return ContainsPoint(x, y) ? IsDoubleClick(x, y) : false;
}

void zelvproTopGroupElement::Rotate(float value) {
  for (zelvproElement* child : ChildrenOf(*this)) child->Rotate(value);
}

void zelvproTopGroupElement::InvalidateGeometry() {
  zelvproTopViewElement::InvalidateGeometry();
  ElementList children = ChildrenOf(*this);
  for (auto at = children.rbegin(); at != children.rend(); ++at) {
    zelvproElement* child = *at;
    child->ApplyColorRecord(colorRecordId, database, -1);
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(child)) part->accessApplied = 0;
    child->lockedChildBits = 0;
    child->InvalidateGeometry();
  }
}

void zelvproTopGroupElement::AfterMove() {
  if ((flags & kDissolvesOnPlacement) != 0) Dissolve();
}

void zelvproTopGroupElement::AfterPlace() {
  if ((flags & kDissolvesOnPlacement) != 0) Dissolve();
}

void zelvproTopGroupElement::Dissolve() {
  ppView* container = GetSupervisor();
  if (container == nullptr) return;
  ElementList self{this};
  ReleaseOutsideSnaps(self);
  const plat::RECT groupFrame = GetFrame();
  qxViewHolder* freed = nullptr;
  ElementList children = ChildrenOf(*this);
  for (auto at = children.rbegin(); at != children.rend(); ++at) {
    zelvproElement* child = *at;
    FreeChild(*child, groupFrame, *container);
    freed = new qxViewHolder(child, freed, true);
  }
  DetachFromSupervisor();
  for (qxViewHolder* holder = freed; holder != nullptr; holder = holder->Next()) holder->Element()->Resnap();
  if (freed != nullptr) new qxGroupSweeper(freed);  // posted; the window runs and deletes it
  DeletionList::Add(this);
}

void zelvproTopGroupElement::FreeChild(zelvproElement& child, const plat::RECT& groupFrame,
                                       ppView& container) {
  plat::RECT frame = child.GetFrame();
  frame.left += groupFrame.left, frame.right += groupFrame.left;
  frame.top += groupFrame.top, frame.bottom += groupFrame.top;
  ppVector3 place = child.GetPosition();
  RotateXZOrigin(place, -angle);
  place = place + position;
  child.SetPosition(place);
  child.SetAnchorOffset(ppVector3());
  child.ChangeFrame(frame);
  child.SetPosition(place);
  child.StoreAngle(child.GetAngle() + angle);
  child.DetachFromSupervisor();
  container.AddSubview(&child);
  child.InvalidateTree();  // also drops its 3D objects, so the 3D scene rebuilds it where it now stands
}
