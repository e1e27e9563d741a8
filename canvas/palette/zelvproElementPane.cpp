#include "canvas/palette/zelvproElementPane.h"

#include <new>

#include "canvas/palette/zelvproElementScroller.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "foundation/ProcessServices.h"
#include "framework/ppFillAdorner.h"
#include "framework/ppFrameAdorner.h"

zelvproElementPane::zelvproElementPane(ppView* supervisor, const plat::RECT& frame,
                                       const StripMaker& makeStrip)
    : ppScrollPane(supervisor, frame, kStretch, kStay, 1, kHorizontalBar) {
  plat::RECT content = ContentRect();
  content.top += kStripTopGap;
  try {
    strip_ = makeStrip ? makeStrip(this, content) : new zelvproElementScroller(this, content);
  } catch (const std::bad_alloc&) {
    ShowMemoryError(kMemoryError);
    throw kNoStripError;
  }
  SetScroller(strip_);
  SetExtent(strip_->ExtentX(), strip_->ExtentY());
  UpdatePageSizes();
  new ppFillAdorner(this, kFillPicture);
  new ppFrameAdorner(this, kFramePicture, ppFrameAdorner::kOutside);
}

zelvproElementPane::~zelvproElementPane() = default;

void zelvproElementPane::SetCatalog(qxCatalog* browser) {
  catalog_ = browser;
  strip_->SetCatalog(browser);
}

void zelvproElementPane::ResetView() { strip_->Clear(); }

void zelvproElementPane::Reload() { strip_->Reload(); }

void zelvproElementPane::InvalidateElement(ppView* view, bool redraw) {
  if (view != nullptr) view->Invalidate();
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), redraw);
}

void zelvproElementPane::DoCommand(int32_t command, intptr_t parameter) {
  strip_->DoCommand(command, parameter);
}

bool zelvproElementPane::IsDoubleClick(int32_t x, int32_t y) {
  ppScrollPane::IsDoubleClick(x, y);
  return true;
}

void zelvproElementPane::DrawContent(ppDC& dc) {
  Layout();
  plat::RECT content = ContentRect();
  content.right -= kRightGap;
  const plat::RECT& now = strip_->GetFrame();
  if (now.left != content.left || now.top != content.top || now.right != content.right ||
      now.bottom != content.bottom)
    strip_->SetFrame(content);
  SetExtent(strip_->ExtentX(), strip_->ExtentY());
  ppScrollPane::DrawContent(dc);
}
