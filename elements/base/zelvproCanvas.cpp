#include "elements/base/zelvproCanvas.h"

#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvasUpdateSweeper.h"

zelvproCanvas::zelvproCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database)
    : zelvproElement(0, parent, frame, database, 0, 0) {}

// The history goes before the elements its tasks name (the element part is destroyed last).
zelvproCanvas::~zelvproCanvas() {
  if (pendingUpdate_ != nullptr) pendingUpdate_->Forget();
  Clear();
}

void zelvproCanvas::DoCommand(int32_t command, intptr_t parameter) {
  if (command != kDeselectAll) return zelvproElement::DoCommand(command, parameter);
  ForEachChildElement(*this, [](zelvproElement* child) { child->Deselect(true); });
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void zelvproCanvas::ScheduleUpdate() {
  if (pendingUpdate_ != nullptr) return;
  plat::HWND window = GetHWND();
  if (window == nullptr) window = iElementHost::Current().DocumentWindow();
  if (window == nullptr) return;
  pendingUpdate_ = new zelvproCanvasUpdateSweeper(window, this);
}

void zelvproCanvas::UpdateSwept(const zelvproCanvasUpdateSweeper* sweeper) {
  if (pendingUpdate_ == sweeper) pendingUpdate_ = nullptr;
}

void zelvproCanvas::RunScheduledUpdate() {
  qxViewHolder* holder = CollectSelection(nullptr, false);
  if (holder == nullptr) holder = new qxViewHolder(this, nullptr, false);
  holder->Activate();
}
