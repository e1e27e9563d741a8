#include "framework/ppMouseTask.h"

#include "framework/ppDC.h"
#include "framework/ppView.h"
#include "framework/ppWindow.h"
#include "framework/ppCursorTable.h"
#include "platform/WindowApi.h"

ppMouseTask::ppMouseTask(ppView* view, void* target) : ppTask(target), view_(view) {
  clickDeadline_ = GetTicks() + kClickTicks;
}

uint32_t ppMouseTask::GetTicks() { return static_cast<uint32_t>(plat::GetTickCount() * 60u) / 1000u; }

bool ppMouseTask::Start(int32_t x, int32_t y) {
  clickDeadline_ = GetTicks() + kClickTicks;
  SetTrackCursor();
  Press(x, y);
  return true;
}

void ppMouseTask::Press(int32_t x, int32_t y) {
  plat::POINT p{x, y};
  Constrain(p);
  start_ = previous_ = current_ = p;
  if (auto* window = dynamic_cast<ppWindow*>(view_->GetRootView())) window->CaptureMouse(this);
  // Paint what is pending first, so the feedback is drawn over the finished picture.
  plat::SendMessageA(view_->GetHWND(), plat::WM_PAINT, 0, 0);
  DrawFeedback(start_.x + offsetX_, start_.y + offsetY_);
}

void ppMouseTask::Move(plat::POINT* point) {
  previous_ = current_;
  current_ = *point;
  if (current_ == previous_) return;
  EraseFeedback(previous_.x + offsetX_, previous_.y + offsetY_);
  Track();
  SetTrackCursor();
  previous_ = current_;
  DrawFeedback(current_.x + offsetX_, current_.y + offsetY_);
}

void ppMouseTask::Release(plat::POINT* point) {
  previous_ = current_;
  current_ = *point;
  EraseFeedback(previous_.x + offsetX_, previous_.y + offsetY_);
}

void ppMouseTask::PreTrack(plat::POINT*) {}
void ppMouseTask::Constrain(plat::POINT&) {}
void ppMouseTask::Track() {}

void ppMouseTask::DrawFeedback(int32_t x, int32_t y) {
  ppDC dc(view_->GetHWND());
  view_->DrawOutlineAt(x, y, 0.0f, 0.0f, 0.0f, dc);
}

void ppMouseTask::EraseFeedback(int32_t x, int32_t y) {
  ppDC dc(view_->GetHWND());
  view_->DrawOutlineAtDefault(x, y, dc);
}

void ppMouseTask::SetTrackCursor() { ppCursorTable::SetGlobalDefault(); }

ppMouseTask* ppMouseTask::MouseUp(plat::POINT* point) {
  plat::POINT released = *point;
  PreTrack(point);
  Release(point);
  bool click = (clickDeadline_ != 0 && GetTicks() < clickDeadline_) || released == start_;
  if (click) {
    Click();
    Finish();
    return nullptr;
  }
  Do();
  if (IsEmpty()) {
    Undo();
    Finish();
  }
  return nullptr;
}

// A press while the task holds the mouse, its button still down, comes from the desktop: a close
// request's press outside a caption-less window. The task ends as a cancel, with nothing done; the
// window draws itself again over the feedback.
ppMouseTask* ppMouseTask::MouseDown(plat::POINT*) {
  Finish();
  return nullptr;
}
void ppMouseTask::ContextMenu(plat::POINT*) {}
void ppMouseTask::Hook() {}
void ppMouseTask::Click() {}
