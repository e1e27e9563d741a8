// The room segment's editing: which task a press on the wall starts, the programmatic wall move and
// the wall length grid.
#include <cmath>

#include "elements/base/ElementChildren.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iMoveObjectTask.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/UserPreferences.h"
#include "framework/ppMouseTask.h"
#include "framework/ppUndoer.h"
#include "framework/ppWindow.h"
#include "platform/WindowApi.h"
#include "room/qxJunction.h"
#include "room/qxRoomSegment.h"
#include "room/qxRoundWallTask.h"
#include "room/zelvproRoomButtons.h"

namespace {

constexpr int32_t kMouseDownCommand = 1000;
// The canvas deselects every element.
constexpr int32_t kDeselectAllCommand = 204;
// The picked corner's state; the others of the wall get 0.
constexpr int32_t kPickedJunction = 2;
// Half size (millimetres) of the plan square redrawn around a picked corner.
constexpr int32_t kPickedHalfSize = 30;
// The length grid: 50 mm, or two inches.
constexpr double kMetricStep = 50.0, kImperialStep = 50.8;

// The wall move task the factory makes, as the mouse task it also is; null when none (a task that is
// no mouse task cannot be dragged and is dropped).
ppMouseTask* NewWallMoveTask(qxRoomSegment* segment) {
  iMoveObjectTask* made = iElementTaskFactory::Current().NewMoveObjectTask(segment, segment->GetSupervisor());
  if (made == nullptr) return nullptr;
  if (auto* task = dynamic_cast<ppMouseTask*>(made)) return task;
  delete made->Task();
  return nullptr;
}

bool HasChildElements(const qxRoomSegment& segment) {
  bool found = false;
  ForEachChildElement(segment, [&](zelvproElement*) { found = true; });
  return found;
}

qxJunction* HitJunction(qxRoomSegment& segment, int32_t x, int32_t y) {
  for (qxJunctionRec* n = segment.GetFirstJunctionLink(); n != nullptr; n = n->GetNext())
    if (n->GetJunction()->HitTest(x, y, &segment)) return n->GetJunction();
  return nullptr;
}

void PickJunction(qxRoomSegment& segment, qxJunction* picked) {
  for (qxJunctionRec* n = segment.GetFirstJunctionLink(); n != nullptr; n = n->GetNext())
    n->GetJunction()->SetState(0);
  picked->SetState(kPickedJunction);
  picked->ShowInfoPanel(picked);
  // The corner's panel stands: a canvas update requested from now on is posted anew.
  zelvproCanvas::ClearCanvasGlobal();
  plat::RECT around{};
  picked->GetScreenRect(around, &segment, kPickedHalfSize);
  plat::InvalidateRect(segment.GetHWND(), &around, 1);
}

// Starts the task at the pixel and hands it to the history of the wall's canvas.
void StartOnCanvas(qxRoomSegment& segment, ppMouseTask* task, int32_t x, int32_t y) {
  task->Start(x, y);
  ppView* canvas = segment.GetSupervisor();
  if (ppUndoer* history = canvas != nullptr ? canvas->GetUndoer() : nullptr)
    history->Post(task);
  else
    delete task;  // nobody would own it
}

}  // namespace

bool qxRoomSegment::IsDoubleClick(int32_t x, int32_t y) {
  if (locked != 0) return true;
  if (DrawWallsMode) return false;
  if (arched_) {
    plat::RECT handle{};
    GetArcHandleRect(handle);
    if (x >= handle.left && x < handle.right && y >= handle.top && y < handle.bottom) {
      StartOnCanvas(*this, new qxRoundWallTask(this, GetSupervisor()), x, y);
      return true;
    }
  }

  lastClickTime = ppMouseTask::GetTicks();
  ppView* canvas = GetSupervisor();
  const bool shift = IsShiftKeyDown();
  if (!shift && canvas != nullptr) canvas->DoCommand(kDeselectAllCommand, 0);
  Select(true);
  qxJunction* junction = HitJunction(*this, x, y);
  if (junction != nullptr) PickJunction(*this, junction);

  ppMouseTask* task = nullptr;
  if (junction != nullptr || !shift) {
    // A wall with doors or windows is not moved from here: the press is the canvas's.
    if (HasChildElements(*this)) return canvas != nullptr && canvas->IsDoubleClick(x, y);
    task = junction != nullptr
               ? iElementTaskFactory::Current().NewMoveStretchObjectTask(this, junction, canvas)
               : NewWallMoveTask(this);
  }
  (new qxViewHolder(this, nullptr, false))->Activate();
  if (task != nullptr) StartOnCanvas(*this, task, x, y);
  // The wall's panel stands: a canvas update requested from now on is posted anew.
  zelvproCanvas::ClearCanvasGlobal();
  return true;
}

void qxRoomSegment::BuildInfoPanel(qxViewHolder* source) {
  // A wall's values are the room's: the plan canvases show them in their own panel. A plain
  // canvas's panel is the selection's, which would lead back here: the wall shows its own.
  if (auto* canvas = dynamic_cast<zelvproTopCanvas*>(GetCanvas()))
    canvas->BuildInfoPanel(source);
  else
    qxFeature::BuildInfoPanel(source);
}

void qxRoomSegment::DoCommand(int32_t command, intptr_t parameter) {
  if (command != kMouseDownCommand) return qxFeature::DoCommand(command, parameter);
  // The element base's press handling, run on the canvas that holds the wall.
  if (auto* canvas = dynamic_cast<zelvproElement*>(GetSupervisor()))
    canvas->zelvproElement::DoCommand(command, parameter);
}

void qxRoomSegment::MoveBy(int32_t dx, int32_t dy) {
  ppMouseTask* task = NewWallMoveTask(this);
  if (task == nullptr) return;
  ppUndoer* history = GetUndoer();
  if (history == nullptr) {
    delete task;
    return;
  }
  history->Post(task);
  if (!history->Holds(task)) return;  // taken over by the task before it
  // A release made by the program right after the press is still a drag, never a click.
  task->SetClickDeadline(0);
  task->Press(0, 0);
  if (auto* window = dynamic_cast<ppWindow*>(GetRootView())) window->CaptureMouse(nullptr);
  plat::POINT released{dx, dy};
  task->MouseUp(&released);
  MarkTreePendingUpdate();
}

float qxRoomSegment::snapWallLength(float length) {
  if (IsControlKeyDown() || !std::isfinite(length)) return length;
  const double step = Preferences().unitSystem == kUnitImperial ? kImperialStep : kMetricStep;
  // + 0.0: a negative length cut to nothing is 0, not -0.
  return float(step * std::trunc(double(length) / step) + 0.0);
}
