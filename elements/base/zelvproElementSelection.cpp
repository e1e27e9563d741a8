// Selection of an element with its children and associated elements, the hit tests of the plan
// views, the click on an element, and the collections of elements into holder chains. Points are
// window pixels; times are ticks of 1/60 second.
#include <memory>

#include "database/ppDatafile.h"
#include "database/ppPropertyObjectList.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "framework/NoMouseButtonPending.h"
#include "framework/ppMouseTask.h"
#include "platform/LayerClock.h"

namespace {

// Sent to the 3D canvas and the editor canvas after every selection change.
constexpr int32_t kSelectionChangedCommand = 3083;
// Sent up to the canvas before a click selects an element without Shift: the rest is deselected.
constexpr int32_t kDeselectAllCommand = 204;
// Sent up to the canvas to start dragging the selection; the parameter points at the press point.
constexpr int32_t kStartDragCommand = 1000;
// Two clicks at most this far apart are a double click (half a second).
constexpr uint32_t kDoubleClickTicks = 30;
// The button must still be down this long after the press for a drag to start.
constexpr uint32_t kDragDelayTicks = 5;
// One tick, rounded up to whole milliseconds.
constexpr uint32_t kTickMs = 17;
// Millimetres by which a paste moves the copied elements.
constexpr float kPasteOffset = 250.0f;

template <typename Fn>
void ForEachAssociate(qxViewHolder* links, Fn fn) {
  for (qxViewHolder* link = links; link != nullptr; link = link->Next()) fn(link->Element());
}

void NotifySelectionChanged() {
  iElementHost& host = iElementHost::Current();
  if (ppEventHandler* canvas = host.Canvas3D()) canvas->DoCommand(kSelectionChangedCommand, 0);
  if (ppEventHandler* canvas = host.EditorCanvas()) canvas->DoCommand(kSelectionChangedCommand, 0);
}

void RefreshViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

// The element kind (canvasType) a view shows: 1 for the two other plan views, 0 for the plan view,
// -1 for the rest (the 3D view among them).
int32_t ViewTypeOf(int32_t viewId) {
  if (viewId == iElementHost::kPlanViewB || viewId == iElementHost::kPlanViewC) return 1;
  if (viewId == iElementHost::kPlanView) return 0;
  return -1;
}

// Blocks until the tick clock has advanced by `ticks`, without spinning.
void WaitTicks(uint32_t ticks) {
  const uint32_t start = ppMouseTask::GetTicks();
  while (ppMouseTask::GetTicks() - start < ticks) plat::LayerClock::Wait(kTickMs);
}

bool InBox(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

}  // namespace

// ---- Selection.

void zelvproElement::Select(bool refresh) {
  if (selected == 0) {
    selected = 1;
    Invalidate();
    ForEachChildElement(*this, [&](zelvproElement* child) { child->Select(refresh); });
    ForEachAssociate(associates, [&](zelvproElement* other) { other->Select(refresh); });
    NotifySelectionChanged();
    if (!IsAltKeyDown())
      if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
    if (refresh) RefreshViews();
  }
  SetStateBitsTree(kSelectedState);
}

void zelvproElement::Deselect(bool refresh) {
  if (selected != 0) {
    selected = 0;
    if (refresh) Invalidate();
    ForEachAssociate(associates, [&](zelvproElement* other) { other->Deselect(refresh); });
    NotifySelectionChanged();
    if (refresh) RefreshViews();
  }
  ForEachChildElement(*this, [&](zelvproElement* child) { child->Deselect(refresh); });
  ClearStateBitsTree(kSelectedState);
}

void zelvproElement::SelectChildrenInRect(const plat::RECT& rect) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    plat::POINT p{};
    child->GetScreenPosition(p);
    if (InBox(p.x, p.y, rect.left, rect.top, rect.right, rect.bottom)) child->Select(true);
  });
  RefreshViews();
}

// ---- Hit tests.

std::unique_ptr<ppRegion> zelvproElement::NewFrameRegion() {
  plat::RECT frame{};
  GetWindowFrame(&frame);
  return std::make_unique<ppRegion>(frame);
}

bool zelvproElement::ContainsPoint(int32_t x, int32_t y) {
  if (lockedChildBits != 0) return false;
  std::unique_ptr<ppRegion> region = NewFrameRegion();
  return region != nullptr && region->Contains(x, y);
}

int32_t zelvproElement::HitTestHandle(int32_t x, int32_t y) {
  plat::RECT f{};
  GetWindowFrame(&f);
  // The boxes differ in size (5 by 6, 6 by 6, 5 by 6 and 7 by 7 pixels), as the plan draws them.
  const plat::RECT boxes[] = {{f.left - 2, f.top - 3, f.left + 3, f.top + 3},
                              {f.right - 3, f.top - 3, f.right + 3, f.top + 3},
                              {f.left - 2, f.bottom - 3, f.left + 3, f.bottom + 3},
                              {f.right - 3, f.bottom - 3, f.right + 4, f.bottom + 4}};
  for (int32_t i = 0; i < 4; ++i) {
    const plat::RECT& b = boxes[i];
    if (InBox(x, y, b.left, b.top, b.right, b.bottom)) return i + 1;
  }
  return 0;
}

zelvproElement* zelvproElement::FindContainerFor(int32_t x, int32_t y, int32_t kind,
                                                 zelvproElement* element) {
  if (element == this || !ContainsPoint(x, y)) return nullptr;
  const ppViewList& children = Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i) {
    auto* child = static_cast<zelvproElement*>(children.At(i));
    if (zelvproElement* found = child->FindContainerFor(x, y, kind, element)) return found;
  }
  return AcceptsChild(kind, element) ? this : nullptr;
}

// ---- The click.

bool zelvproElement::HandleClick(int32_t x, int32_t y) {
  iElementHost& host = iElementHost::Current();
  host.SetLastClickedElement(this);
  const uint32_t now = ppMouseTask::GetTicks();
  const bool doubleClick = now - lastClickTime <= kDoubleClickTicks;
  lastClickTime = now;
  if (ViewTypeOf(host.CurrentViewId()) != canvasType) return false;

  bool selectionChanged = false;
  if (selected == 0) {
    if (!IsShiftKeyDown()) DoCommand(kDeselectAllCommand, 0);
    Select(true);
    selectionChanged = true;
  } else if (IsShiftKeyDown()) {
    Deselect(false);
    selectionChanged = true;
  } else if (!IsAltKeyDown() && !doubleClick) {
    if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
  }

  // No element acts on a corner handle: a press there only refreshes.
  if (HitTestHandle(x, y) == 0) {
    WaitTicks(kDragDelayTicks);
    // A button message waiting means the button went up again: a plain click.
    if (NoMouseButtonPending() && locked == 0) {
      plat::POINT press{x, y};
      DoCommand(kStartDragCommand, reinterpret_cast<intptr_t>(&press));
      return true;
    }
    if (selectionChanged) Invalidate();
  }
  RefreshViews();
  return true;
}

// ---- Collections.

qxViewHolder* zelvproElement::CollectSelection(qxViewHolder* chain, bool skipLocked) {
  if (IsSelected() && !(skipLocked && locked != 0) && !qxViewHolder::IsExcluded(this))
    return new qxViewHolder(this, chain, false);
  ForEachChildElement(*this,
                      [&](zelvproElement* child) { chain = child->CollectSelection(chain, skipLocked); });
  return chain;
}

qxViewHolder* zelvproElement::CollectEditable(qxViewHolder* chain, bool skipLocked) {
  if (!(skipLocked && locked != 0) && !qxViewHolder::IsExcluded(this))
    return new qxViewHolder(this, chain, false);
  ForEachChildElement(*this,
                      [&](zelvproElement* child) { chain = child->CollectEditable(chain, skipLocked); });
  return chain;
}

qxViewHolder* zelvproElement::CollectTree(qxViewHolder* chain, qxViewHolder* filter) {
  if (!(filter != nullptr && filter->Holds(this)) && !qxViewHolder::IsExcluded(this))
    chain = new qxViewHolder(this, chain, false);
  ForEachChildElement(*this, [&](zelvproElement* child) { chain = child->CollectTree(chain, filter); });
  return chain;
}

OutlineList& zelvproElement::CollectOutlines(OutlineList& list) {
  ForEachOutline([&](Handle points) { list.insert(list.begin(), ElementOutline{points, this}); });
  return list;
}

std::unique_ptr<ppPropertyObjectList> zelvproElement::MakeChildPropertyList() {
  auto list = std::make_unique<ppPropertyObjectList>();
  ForEachChildElement(*this, [&](zelvproElement* child) { list->Append(static_cast<iProperty*>(child)); });
  return list;
}

void zelvproElement::ExtentOfSelectedChildren(ppVector3& point) {
  bool first = true;
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (!child->IsSelected()) return;
    ppVector3 p;
    child->GetAbsolutePosition(p);
    if (first || p.x < point.x || (p.x == point.x && p.z < point.z)) point = p;
    first = false;
  });
}

void zelvproElement::SaveSelection() {
  iElementHost& host = iElementHost::Current();
  ppDatafile* copy = host.BeginCopy(GetCanvas());
  if (copy == nullptr) return;
  copy->ClearRecordBuffer(nullptr);
  bool saved = false;
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (!child->IsSelected()) return;
    child->SaveTree(*copy, true, saveId);
    saved = true;
  });
  // Without a selected child, the first child below which something is selected is copied.
  if (!saved) {
    const ppViewList& children = Subviews();
    for (int32_t i = 0; i < children.Count() && copy->GetSelectedCount() == 0; ++i)
      static_cast<zelvproElement*>(children.At(i))->SaveSelection();
  }
  host.SetPasteOffset(kPasteOffset);
}

// ---- Association links.

void zelvproElement::AddAssociate(zelvproElement* element) {
  if (element == nullptr || (associates != nullptr && associates->Holds(element))) return;
  associates = new qxViewHolder(element, associates, true);
}

void zelvproElement::RemoveAssociate(zelvproElement* element) {
  associates = qxViewHolder::RemoveLinksTo(associates, element);
}
