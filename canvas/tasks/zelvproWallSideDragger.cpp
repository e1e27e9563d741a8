#include "canvas/tasks/zelvproWallSideDragger.h"

#include <cmath>
#include <cstring>

#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/Geometry2D.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"

namespace {

// The element command that posts the task its parameter points at on the element's canvas.
constexpr int32_t kPostTaskAfterEdit = 3037;
constexpr float kEighthTurn = 0.39269908f, kQuarterTurn = 0.78539816f;  // radians

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameBits(const ppVector3& a, const ppVector3& b) {
  return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}

// Whether the drag changed anything the snapshot holds.
bool Unchanged(const zelvproWall::Snapshot& a, const zelvproWall::Snapshot& b) {
  if (!SameBits(a.position, b.position) || !SameBits(a.angle, b.angle)) return false;
  if (a.outline.size() != b.outline.size() || a.entries.size() != b.entries.size()) return false;
  for (size_t i = 0; i < a.outline.size(); ++i)
    if (!SameBits(a.outline[i].x, b.outline[i].x) || !SameBits(a.outline[i].y, b.outline[i].y)) return false;
  for (size_t i = 0; i < a.entries.size(); ++i)
    if (!SameBits(a.entries[i].point, b.entries[i].point)) return false;
  return true;
}

}  // namespace

zelvproWallSideDragger::zelvproWallSideDragger(zelvproWall* wall, int32_t side)
    : zelvproPointerTask(wall, wall), wall_(wall), side_(side) {
  before_ = after_ = wall->TakeSnapshot();
  fixed_ = EndPixel(side == 0 ? 1 : 0);
}

plat::POINT zelvproWallSideDragger::EndPixel(int32_t index) const {
  plat::POINT out{};
  if (index < 0 || size_t(index) >= wall_->snapPoints.size()) return out;
  ppVector3 point = wall_->snapPoints[size_t(index)].point;
  wall_->LocalToWorld(point);
  PlanPointToScreen(point, out);
  return out;
}

void zelvproWallSideDragger::Constrain(plat::POINT& point) { point = EndPixel(side_); }

ppMouseTask* zelvproWallSideDragger::MouseUp(plat::POINT* point) {
  releasing_ = true;
  return zelvproPointerTask::MouseUp(point);
}

void zelvproWallSideDragger::PreTrack(plat::POINT* point) {
  plat::POINT& p = *point;
  if (ppEventHandler::IsShiftKeyDown()) {
    ppVector2 v(float(p.x - fixed_.x), float(p.y - fixed_.y));
    const float a = AngleOf(v.x, v.y);
    // What lies beyond the nearest multiple of 45 degrees.
    const float r = a < 0.0f ? std::fmod(a - kEighthTurn, kQuarterTurn) + kEighthTurn
                             : std::fmod(a + kEighthTurn, kQuarterTurn) - kEighthTurn;
    Rotate2(v, -r);
    p.x = fixed_.x + int32_t(v.x);
    p.y = fixed_.y + int32_t(v.y);
  }
  // Small steps are ignored while dragging; the release point always counts.
  if (releasing_ || ppEventHandler::IsControlKeyDown()) return;
  const plat::POINT& last = Current();
  if (std::abs(p.x - last.x) < kStep && std::abs(p.y - last.y) < kStep) p = last;
}

void zelvproWallSideDragger::DrawFeedback(int32_t /*x*/, int32_t /*y*/) {
  ppDC dc(wall_->GetHWND());
  dc.SetXorMode();
  dc.MoveTo(fixed_.x, fixed_.y);
  dc.LineTo(Previous().x, Previous().y);
  dc.SetNormalPen();
}

void zelvproWallSideDragger::Do() {
  ppMouseTask::Do();
  wall_->DragEnd(side_, Current().x, Current().y, false);
  after_ = wall_->TakeSnapshot();
  if (Unchanged(before_, after_)) return;
  iElementHost& host = iElementHost::Current();
  host.MarkDocumentModified();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  // Without a canvas there is no history: the drag stays and the mouse-up frees the task.
  if (wall_->GetCanvas() == nullptr) return;
  kept_ = true;
  wall_->DoCommand(kPostTaskAfterEdit, reinterpret_cast<intptr_t>(static_cast<ppTask*>(this)));
}

void zelvproWallSideDragger::Undo() {
  ppMouseTask::Undo();
  if (!kept_) return;
  wall_->DoCommand(zelvproWall::kRestoreSnapshot, reinterpret_cast<intptr_t>(&before_));
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void zelvproWallSideDragger::Redo() {
  ppMouseTask::Redo();
  if (!kept_) return;
  wall_->DoCommand(zelvproWall::kRestoreSnapshot, reinterpret_cast<intptr_t>(&after_));
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}
