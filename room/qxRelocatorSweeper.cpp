#include "room/qxRelocatorSweeper.h"

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "room/qxFixDoors.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// The relocator's canvas may have gone with its document before the queue reached the sweeper.
bool IsLivePlanCanvas(const zelvproElement* target) {
  if (target == nullptr) return false;
  iElementHost& host = iElementHost::Current();
  return target == host.TopCanvas() || target == host.NewRoomCanvas() || target == qxNewRoomCanvas::Current();
}

}  // namespace

qxRelocatorSweeper::qxRelocatorSweeper(plat::HWND window, zelvproElement* target, const ppVector3& offset)
    : ppSweeper(window), window_(window), target_(target), offset_(offset) {}

void qxRelocatorSweeper::Sweep() {
  if (!IsLivePlanCanvas(target_)) return;
  target_->OffsetTopViewChildren(offset_);
  target_->DoCommand(qxNewRoomCanvas::kRebuildRoom, reinterpret_cast<intptr_t>(target_));
  target_->DoCommand(qxNewRoomCanvas::kRefresh3D, 0);
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  new qxFixDoors(window_);  // the queue owns it
  if (target_->GetSupervisor() != nullptr) {
    if (auto* canvas = dynamic_cast<zelvproCanvas*>(target_)) canvas->ScheduleUpdate();
  }
}
