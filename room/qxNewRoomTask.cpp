#include "room/qxNewRoomTask.h"

#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "room/iDocumentLoader.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// The loader replaces the plan without touching the document's modified mark; a room replaced by
// a template (or given back) is a change the save question must still ask about.
void MarkReplaced() { iElementHost::Current().MarkDocumentModified(); }

// Swaps `packed` into the document and drops the snapshot of what was there.
void SwapInDiscardingBefore(Handle packed) {
  if (packed == nullptr) return;
  Handle before = iDocumentLoader::Current().LoadFromFile(packed);
  if (before == nullptr) return;  // unreadable: the document is as it was
  MemDispose(before);
  MarkReplaced();
}

// The floors of the room just swapped in were made from template `id`.
void MarkTemplate(int32_t id) {
  qxNewRoomCanvas* canvas = qxNewRoomCanvas::Current();
  if (canvas == nullptr || id == 0) return;
  for (qxLineCycle* c = canvas->Cycles(); c != nullptr; c = c->next)
    if (c->floor != nullptr) c->floor->SetRoomTemplate(id);
}

}  // namespace

qxNewRoomTask::qxNewRoomTask(Handle scene, int32_t templateId) : templateId_(templateId) {
  if (scene != nullptr) MemDuplicate(scene, &template_);
}

qxNewRoomTask::~qxNewRoomTask() {
  MemDispose(template_);
  MemDispose(before_);
}

// The template brings its own canvas record, grid included; the user's grid is kept over it.
void qxNewRoomTask::Do() {
  ppTask::Do();
  if (template_ == nullptr) return;
  qxNewRoomCanvas* canvas = qxNewRoomCanvas::Current();
  bool gridOn = false;
  Vcon::WString gridSize;
  if (canvas != nullptr) {
    gridOn = canvas->GetValueByName("GridEnabled").ToBool();
    gridSize = canvas->GetValueByName("GridSize").AsWString();
  }
  Handle before = iDocumentLoader::Current().LoadFromFile(template_);
  if (before == nullptr) return;  // unreadable: the document is as it was
  MemDispose(before_);
  before_ = before;
  MarkTemplate(templateId_);
  MarkReplaced();
  // The loader may have replaced the canvas: the grid goes to the current one.
  canvas = qxNewRoomCanvas::Current();
  if (canvas != nullptr) {
    canvas->SetValueByName("GridEnabled", ppParameter(gridOn), false);
    canvas->SetValueByName("GridSize", ppParameter(gridSize), true);
  }
  if (iApplicationSettings::Current().flags1 & iApplicationSettings::kAnnounceRoomRebuild)
    Broadcast(qxNewRoomCanvas::kRoomChannel, qxNewRoomCanvas::kRoomRebuilt, 0);
}

void qxNewRoomTask::Undo() {
  ppTask::Undo();
  SwapInDiscardingBefore(before_);
}

void qxNewRoomTask::Redo() {
  ppTask::Redo();
  if (before_ == nullptr) return;
  SwapInDiscardingBefore(template_);
  MarkTemplate(templateId_);
}
