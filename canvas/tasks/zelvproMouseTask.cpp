#include "canvas/tasks/zelvproMouseTask.h"

#include "framework/ppCursorTable.h"
#include "framework/ppDC.h"
#include "framework/ppView.h"

namespace {

constexpr int32_t kFeedbackGrey = 25;  // percent

}  // namespace

zelvproMouseTask::zelvproMouseTask(ppView* view, void* target) : ppMouseTask(view, target) {}

zelvproMouseTask::~zelvproMouseTask() = default;

bool zelvproMouseTask::Start(int32_t x, int32_t y) {
  feedback_.reset();
  return ppMouseTask::Start(x, y);
}

bool zelvproMouseTask::StartWithElement(int32_t x, int32_t y, std::unique_ptr<ppRegion> region) {
  feedback_ = std::move(region);
  // As the framework's start: without the deadline a one-pixel jitter in a click would count as a move.
  SetClickDeadline(GetTicks() + kClickTicks);
  SetTrackCursor();
  Press(x, y);
  return true;
}

void zelvproMouseTask::Release(plat::POINT* point) {
  ppMouseTask::Release(point);
  feedback_.reset();
}

void zelvproMouseTask::Track() {
  if (feedback_ != nullptr) feedback_->Offset(Current().x - Previous().x, Current().y - Previous().y);
}

void zelvproMouseTask::DrawFeedback(int32_t /*x*/, int32_t /*y*/) {
  if (feedback_ == nullptr || View() == nullptr) return;
  ppDC dc(View()->GetHWND());
  if (ppView* supervisor = View()->GetSupervisor()) supervisor->ClipToVisible(dc);
  dc.SetGray(kFeedbackGrey);
  dc.SetXorMode();
  dc.FrameRegion(*feedback_);
  dc.SetNormalPen();
}

void zelvproMouseTask::EraseFeedback(int32_t x, int32_t y) { DrawFeedback(x, y); }

void zelvproMouseTask::SetTrackCursor() { ppCursorTable::SetGlobalDefault(); }
