#include "framework/ppAdorner.h"

#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppView.h"
#include "platform/WindowApi.h"

ppAdorner::ppAdorner(ppView* view, char phase) : view_(view), phase_(phase), next_(view->adorners_) {
  view->adorners_ = this;
}

ppRegion* ppAdorner::GetRegion(const plat::RECT* frame) { return new ppRegion(*frame); }

void ppAdorner::Invalidate(const plat::RECT* frame) {
  ppRegion* region = GetRegion(frame);
  plat::InvalidateRgn(view_->GetHWND(), region->Handle(), 0);
  delete region;
}

void ppAdorner::DrawChain(const plat::RECT* frame, char pass, ppDC* dc) {
  ppClipSaver saved(*dc);
  ppRegion* region = nullptr;
  if (!unclipped_) {
    region = GetRegion(frame);
    dc->SetClipRegion(region);
  }
  if (phase_ == pass) Draw(frame, pass, dc);
  if (next_) next_->DrawChain(frame, pass, dc);
  delete region;
}
