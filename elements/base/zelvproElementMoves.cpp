// Moves of an element: the arrow keys of the plan, the step commands of the 3D view and the view
// moves in pixels, which carry the position along in millimetres.
#include <cmath>
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppEventHandler.h"

namespace {

constexpr int32_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
// Catalogue flag: the element does not move by key.
constexpr uint32_t kNoKeyMoves = 0x200;
// motionFlags: the element moves up and down in the 3D view (and not forward or back).
constexpr uint32_t kMovesVertically = 0x4;
constexpr float kHighest = 6000.0f;  // millimetres
constexpr float kPi = 3.1415927f;

int32_t StepPixels() { return ppEventHandler::IsShiftKeyDown() ? 1 : 5; }

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
