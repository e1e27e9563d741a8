// Moves of an element: the arrow keys of the plan, the step commands of the 3D view and the view
// moves in pixels, which carry the position along in millimetres; the runs of elements joined at
// snap anchors, and the commit after an edit.
#include <cmath>
#include <cstring>
#include <memory>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppEventHandler.h"
#include "framework/ppTask.h"

namespace {

constexpr int32_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
// Catalogue flag: the element does not move by key.
constexpr uint32_t kNoKeyMoves = 0x200;
// motionFlags: the element moves up and down in the 3D view (and not forward or back).
constexpr uint32_t kMovesVertically = 0x4;
constexpr float kHighest = 6000.0f;  // millimetres
constexpr float kPi = 3.1415927f;
constexpr int32_t kBackspace = 0x08, kDelete = 0x2E;
// Deletes the selection.
constexpr int32_t kDeleteCommand = 36;
// Anchors this close on every axis (millimetres) join a snap run.
constexpr float kRunTolerance = 0.5f;

int32_t StepPixels() { return ppEventHandler::IsShiftKeyDown() ? 1 : 5; }

bool IsArrow(int32_t key) { return key >= kLeft && key <= kDown; }

bool Near(const ppVector3& a, const ppVector3& b) {
  return std::fabs(a.x - b.x) <= kRunTolerance && std::fabs(a.y - b.y) <= kRunTolerance &&
         std::fabs(a.z - b.z) <= kRunTolerance;
}

}  // namespace

void zelvproElement::NudgeByKey(int32_t key) {
  if (locked != 0) return;
  if (selected != 0 && lockedChildBits == 0 && (flags & kNoKeyMoves) == 0) {
    const int32_t step = StepPixels();
    switch (key) {
      case kLeft:
        MoveBy(-step, 0);
        break;
      case kUp:
        MoveBy(0, -step);
        break;
      case kRight:
        MoveBy(step, 0);
        break;
      case kDown:
        MoveBy(0, step);
        break;
      default:
        break;
    }
  }
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void zelvproElement::MoveBy(int32_t dx, int32_t dy) {
  ppView::MoveBy(dx, dy);
  const float s = float(PlanScale());
  ppVector3 p = position;
  p.x = (p.x / s + float(dx)) * s;
  p.z = (p.z / s + float(dy)) * s;
  SetPosition(p);
  MarkTreePendingUpdate();
}

void zelvproElement::MoveTo(int32_t x, int32_t y) {
  ppView::MoveTo(x, y);
  SetPlanXZFromPixels(x, y);
}

void zelvproElement::MoveFrameTo(int32_t x, int32_t y) {
  ppView::MoveFrameTo(x, y);
  SetPlanXZFromPixels(x, y);
}

void zelvproElement::Nudge3D(int32_t command) {
  // Float arithmetic, as the angle is stored: a quarter turn then gives whole steps.
  const float step = float(StepPixels());
  const bool vertical = (motionFlags & kMovesVertically) != 0;
  auto moveAlong = [&](float direction) {
    MoveBy(int32_t(step * std::cos(direction)), int32_t(step * std::sin(direction)));
  };
  const float a = angle;
  switch (command) {
    case 2201:
      if (!vertical) moveAlong(a - kPi / 2);
      break;
    case 2205:
      if (!vertical) moveAlong(a + kPi / 2);
      break;
    case 2209:
      moveAlong(a + kPi);
      break;
    case 2213:
      moveAlong(a);
      break;
    case 2217:
    case 2221: {
      ppView::MoveBy(0, 0);
      const float delta = step * float(PlanScale());
      if (vertical && command == 2217 && position.y < kHighest) position.y += delta;
      if (vertical && command == 2221 && position.y > 0.0f) position.y -= delta;
      MarkTreePendingUpdate();
      break;
    }
    default:
      break;
  }
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

bool zelvproElement::HasCatalogEntry(int32_t id) {
  if (database == nullptr || recordId == 0) return false;
  zelvproTopViewFil& topViews = database->TopViewFile2();
  ScopedRecordBuffer<ppDatafile> buffer(topViews);
  topViews.ReadRecord(recordId, buffer.Get());
  Handle entries = RecordField(topViews, "DropItems").Data(buffer.Get());
  const int32_t count = MemGetSize(entries) / 8;
  for (int32_t i = 0; i < count; ++i) {
    int32_t entryId = 0;
    std::memcpy(&entryId, *entries + i * 8, sizeof entryId);
    if (entryId == id) return true;
  }
  return false;
}

void zelvproElement::KeyDown(signed char key, int32_t /*flags*/) {
  if (key == kBackspace || key == kDelete) {
    DoCommand(kDeleteCommand, 0);
    return;
  }
  if (!IsArrow(key)) return;
  if (IsControlKeyDown()) {
    RotateByKey(key);
    return;
  }
  // Every selected, unlocked element of the plan moves, not only the one with the key focus.
  zelvproCanvas* canvas = GetCanvas();
  if (canvas == nullptr) return;
  std::unique_ptr<qxViewHolder> selection(canvas->CollectSelection(nullptr, true));
  for (qxViewHolder* h = selection.get(); h != nullptr; h = h->Next()) h->Element()->NudgeByKey(key);
}

qxViewHolder* zelvproElement::CollectSnapRun(qxViewHolder* chain, int32_t key, const ppVector3& point) {
  if (chain != nullptr && chain->Holds(this)) return chain;
  // One holder per element, however many of its anchors lie at the point: the run holds each
  // element once, and the search below cannot come back to it.
  bool matched = false;
  for (const SnapAnchor& anchor : snapPoints) {
    ppVector3 p = anchor.point;
    LocalToWorld(p);
    if (anchor.code == key && Near(p, point)) matched = true;
  }
  if (matched) {
    chain = new qxViewHolder(this, chain, false);
    if (zelvproCanvas* canvas = GetCanvas()) {
      for (const SnapAnchor& anchor : snapPoints) {
        if (anchor.code == key) continue;
        ppVector3 p = anchor.point;
        LocalToWorld(p);
        chain = canvas->CollectSnapRun(chain, -anchor.code, p);
      }
    }
  }
  ForEachChildElement(*this,
                      [&](zelvproElement* child) { chain = child->CollectSnapRun(chain, key, point); });
  return chain;
}

void zelvproElement::CommitEdits() {
  // The editable values as they stand; nothing below changes them before they are applied back.
  const struct {
    ppVector3 position;
    float angle;
    uint8_t locked, calculate, lockUnits;
    int32_t colorRecordId, unitRecordId, tag;
  } snapshot{position, angle, locked, calculate, lockUnits, colorRecordId, unitRecordId, tag};
  qxViewHolder* children = nullptr;
  ForEachChildElement(*this,
                      [&](zelvproElement* child) { children = new qxViewHolder(child, children, true); });
  std::unique_ptr<qxViewHolder> childChain(children);
  if (database != nullptr && recordId != 0) {
    zelvproTopViewFil& topViews = database->TopViewFile2();
    ScopedRecordBuffer<ppDatafile> buffer(topViews);
    topViews.ReadRecord(recordId, buffer.Get());
  }

  if (snapshot.angle != angle) {
    zelvproCanvas* canvas = GetCanvas();
    ppTask* task = iElementTaskFactory::Current().NewRotateTask2(canvas, this, snapshot.angle - angle,
                                                                 snapshot.position.x - position.x,
                                                                 snapshot.position.z - position.z);
    if (task != nullptr) {
      task->Do();
      if (canvas != nullptr) {
        canvas->Post(task);
      } else {
        delete task;
      }
    }
  }
  locked = snapshot.locked;
  SetColorRecordId(snapshot.colorRecordId);
  calculate = snapshot.calculate;
  lockUnits = snapshot.lockUnits;
  if (snapshot.unitRecordId != unitRecordId) {
    unitRecordId = snapshot.unitRecordId;
    ApplyUnit(LookupUnit(snapshot.unitRecordId, GetAccessKey(), 0), 0);
  }
  if (snapshot.tag != tag) SetTagTree(snapshot.tag);
  InvalidateTree();
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}
