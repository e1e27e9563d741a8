#include "canvas/view3d/zelvpro3DMoverTask.h"

#include <vector>

#include "canvas/view3d/zelvpro3DCanvas.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppEventHandler.h"
#include "scene3d/panes/zelvpro3DPane.h"

zelvpro3DMoverTask::zelvpro3DMoverTask(qxViewHolder* holders, zelvpro3DPane* pane, zelvproElement* picked)
    : zelvpro3DTask(holders, pane, picked) {}

zelvpro3DMoverTask::~zelvpro3DMoverTask() = default;

void zelvpro3DMoverTask::Do() {
  zelvpro3DTask::Do();
  if (IsEmpty()) return;
  std::vector<i3DPaneElement*> moved;
  zelvpro3DCanvas* canvas = zelvpro3DCanvas::Current();
  for (Place& place : Places())
    if (canvas != nullptr) moved.push_back(canvas->PaneElementFor(place.element));
  if (Pane() != nullptr) Pane()->DoCommand(kMovedCommand, reinterpret_cast<intptr_t>(&moved));
  for (Place& place : Places()) {
    dissolved_.AfterMove(place.element);
    place.element->MarkTreePendingUpdate();
  }
  if (Pane() != nullptr) Pane()->Invalidate();
}

void zelvpro3DMoverTask::Undo() {
  dissolved_.Restore();
  zelvpro3DTask::Undo();
}

void zelvpro3DMoverTask::Redo() {
  zelvpro3DTask::Redo();
  dissolved_.DissolveAgain();
}

void zelvpro3DMoverTask::Release(plat::POINT* point) {
  zelvproMouseTask::Release(point);
  iElementHost& host = iElementHost::Current();
  for (ppEventHandler* canvas : {host.Canvas3D(), host.EditorCanvas()})
    if (canvas != nullptr) canvas->DoCommand(zelvpro3DCanvas::kSelectionChanged, 0);
  if (Holders() != nullptr)
    if (zelvproCanvas* root = Holders()->Element()->GetCanvas()) root->ScheduleUpdate();
  if (Pane() != nullptr) Pane()->Invalidate();
}
