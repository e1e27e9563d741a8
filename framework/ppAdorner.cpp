#include "framework/ppAdorner.h"

#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppView.h"
#include "platform/WindowApi.h"

ppAdorner::ppAdorner(ppView* view, char phase) : view_(view), phase_(phase), next_(view->adorners_) {
  view->adorners_ = this;
}

std::unique_ptr<ppRegion> ppAdorner::GetRegion(const plat::RECT* frame) {
  return std::make_unique<ppRegion>(*frame);
}

std::unique_ptr<ppRegion> ppAdorner::GetOpaqueRegion(const plat::RECT*, const ppDC&) { return nullptr; }

void ppAdorner::Invalidate(const plat::RECT* frame) {
  plat::InvalidateRgn(view_->GetHWND(), GetRegion(frame)->Handle(), 0);
}

void ppAdorner::DrawChain(const plat::RECT* frame, char pass, ppDC* dc) {
  ppClipSaver saved(*dc);
  if (!unclipped_) {
    std::unique_ptr<ppRegion> region = GetRegion(frame);
    if (region) dc->LeaveOutCovered(*region);
    dc->SetClipRegion(region.get());
  }
  if (phase_ == pass) Draw(frame, pass, dc);
  if (next_) next_->DrawChain(frame, pass, dc);
}
