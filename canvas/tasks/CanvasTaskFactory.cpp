#include "canvas/tasks/CanvasTaskFactory.h"

#include "canvas/tasks/zelvproColorTask.h"
#include "canvas/tasks/zelvproAccessoryTask.h"
#include "canvas/tasks/zelvproConfigTask.h"
#include "canvas/tasks/zelvproDeleteTask.h"
#include "canvas/tasks/zelvproDoorDraggerTask.h"
#include "canvas/tasks/zelvproWallDraggerTask.h"
#include "canvas/tasks/zelvproDraggerTask.h"
#include "canvas/tasks/zelvproMoverTask.h"
#include "canvas/tasks/zelvproPasteTask.h"
#include "canvas/tasks/qxMoveObjectTask.h"
#include "canvas/tasks/qxMoveStretchObjectTask.h"
#include "canvas/tasks/zelvproPointerTask.h"
#include "canvas/tasks/zelvproRotateTask.h"
#include "canvas/tasks/zelvproRotateTask2.h"
#include "canvas/tasks/zelvproWallSideDragger.h"
#include "canvas/view3d/zelvpro3DColorTask.h"
#include "canvas/view3d/zelvpro3DDraggerTask.h"
#include "canvas/view3d/zelvpro3DMoverTask.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "elements/base/iScenePane.h"
#include "elements/base/zelvproCanvas.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

// Stateless; lives as long as the process.
CanvasTaskFactory gFactory;

}  // namespace

ppTask* CanvasTaskFactory::NewDeleteTask(zelvproCanvas* canvas, const qxViewHolder* selection) {
  if (canvas == nullptr) return nullptr;
  return new zelvproDeleteTask(canvas, canvas, selection);
}

ppTask* CanvasTaskFactory::NewPasteTask(zelvproCanvas* canvas, qxViewHolder* made, int32_t flag) {
  if (canvas == nullptr) return nullptr;
  return new zelvproPasteTask(canvas, made, flag != 0);
}

ppMouseTask* CanvasTaskFactory::NewPointerTask(zelvproElement* element, zelvproCanvas* canvas) {
  if (element == nullptr) return nullptr;
  return new zelvproPointerTask(element, canvas != nullptr ? canvas : element);
}

ppTask* CanvasTaskFactory::NewColorTask(int32_t colourId, zelvDatabase* source, zelvproCanvas* canvas) {
  if (canvas == nullptr || colourId == 0) return nullptr;
  return new zelvproColorTask(colourId, source, canvas);
}

ppTask* CanvasTaskFactory::NewMoverTask(qxViewHolder* selection, zelvproCanvas* canvas,
                                        void* /*feedbackSource*/) {
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproMoverTask(selection, canvas, nullptr, true);
}

ppTask* CanvasTaskFactory::NewDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproDraggerTask(selection, canvas, true);
}

ppTask* CanvasTaskFactory::New3DTask(qxViewHolder* selection, zelvproCanvas* /*canvas*/) {
  zelvpro3DPane* pane = zelvpro3DPane::Current();
  if (selection == nullptr || pane == nullptr) return nullptr;
  return new zelvpro3DMoverTask(selection, pane, nullptr);
}

ppTask* CanvasTaskFactory::New3DDraggerTask(qxViewHolder* selection, iScenePane* pane, int32_t /*flag*/) {
  auto* view = dynamic_cast<zelvpro3DPane*>(pane);
  if (view == nullptr) view = zelvpro3DPane::Current();
  if (selection == nullptr || view == nullptr) return nullptr;
  return new zelvpro3DDraggerTask(selection, view, nullptr);
}

ppTask* CanvasTaskFactory::New3DColorTask(int32_t colourId, zelvDatabase* source, iScenePane* pane) {
  auto* view = dynamic_cast<zelvpro3DPane*>(pane);
  if (view == nullptr) view = zelvpro3DPane::Current();
  if (colourId == 0 || view == nullptr) return nullptr;
  return new zelvpro3DColorTask(colourId, source, view);
}

ppTask* CanvasTaskFactory::NewRotateTask(intptr_t a, intptr_t b) {
  auto* selection = reinterpret_cast<qxViewHolder*>(a);
  auto* canvas = reinterpret_cast<zelvproCanvas*>(b);
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproRotateTask(selection, canvas);
}

ppTask* CanvasTaskFactory::NewRotateTask2(zelvproCanvas* owner, zelvproElement* target, float turn, float dx,
                                          float dz) {
  if (target == nullptr) return nullptr;
  return new zelvproRotateTask2(target, owner, turn, dx, dz);
}

iMoveObjectTask* CanvasTaskFactory::NewMoveObjectTask(zelvproElement* segment, ppView* supervisor) {
  auto* wall = dynamic_cast<qxRoomSegment*>(segment);
  return wall != nullptr ? new qxMoveObjectTask(wall, dynamic_cast<qxNewRoomCanvas*>(supervisor)) : nullptr;
}

ppMouseTask* CanvasTaskFactory::NewMoveStretchObjectTask(zelvproElement* segment, qxJunction* junction,
                                                         ppView* supervisor) {
  auto* wall = dynamic_cast<qxRoomSegment*>(segment);
  if (wall == nullptr || junction == nullptr) return nullptr;
  return new qxMoveStretchObjectTask(wall, junction, dynamic_cast<qxNewRoomCanvas*>(supervisor));
}

ppTask* CanvasTaskFactory::NewWallEndTask(zelvproElement* wall, int32_t end) {
  auto* piece = dynamic_cast<zelvproWall*>(wall);
  return piece != nullptr && (end == 0 || end == 1) ? new zelvproWallSideDragger(piece, end) : nullptr;
}

ppMouseTask* CanvasTaskFactory::NewDoorTask(qxViewHolder* selection, zelvproElement* element) {
  if (selection == nullptr || element == nullptr) return nullptr;
  zelvproCanvas* canvas = element->GetCanvas();
  if (canvas == nullptr) return nullptr;
  return new zelvproDoorTask(selection, canvas);
}

ppTask* CanvasTaskFactory::NewDoorDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproDoorDraggerTask(selection, canvas);
}

ppTask* CanvasTaskFactory::NewWallTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproWallTask(selection, canvas, nullptr);
}

ppTask* CanvasTaskFactory::NewWallDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproWallDraggerTask(selection, canvas);
}

ppTask* CanvasTaskFactory::NewConfigTask(qxViewHolder* selection, zelvproCanvas* canvas,
                                         zelvproElement* /*element*/) {
  if (selection == nullptr || canvas == nullptr) return nullptr;
  return new zelvproConfigTask(selection, canvas, nullptr);
}

ppTask* CanvasTaskFactory::NewAccessoryTask(zelvproCanvas* canvas, zelvproElement* accessory) {
  if (canvas == nullptr || accessory == nullptr) return nullptr;
  return new zelvproAccessoryTask(accessory, canvas);
}

void CanvasTaskFactory::StartWithElement(ppTask* task, int32_t x, int32_t y,
                                         std::unique_ptr<ppRegion> feedback) {
  if (auto* plan = dynamic_cast<zelvproMouseTask*>(task)) {
    plan->StartWithElement(x, y, std::move(feedback));
  } else if (auto* mouse = dynamic_cast<ppMouseTask*>(task)) {
    mouse->Start(x, y);
  } else {
    delete task;
  }
}

void CanvasTaskFactory::InstallDefault() { iElementTaskFactory::Install(&gFactory); }
