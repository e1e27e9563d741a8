#include "canvas/palette/zelvproElementPalette.h"

#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxCatalogOverview.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppButton.h"
#include "framework/ppFillAdorner.h"

zelvproElementPalette::zelvproElementPalette(ppView* supervisor, const plat::RECT& frame)
    : zelvproElementPalette(supervisor, frame,
                            (iApplicationSettings::Current().flags1 & kCatalogueOverview) != 0) {}

zelvproElementPalette::zelvproElementPalette(ppView* supervisor, const plat::RECT& frame, bool withOverview)
    : ppView(supervisor, kStretch, kMove) {
  SetFrame(frame);
  const int32_t w = Width();
  const int32_t h = Height();
  // The pane comes first: the browser names itself to it as it is made.
  if (withOverview) {
    pane_ = new zelvproElementPane(this, plat::RECT{210, 2, w - 8, h - 5});
    browser_ = new qxCatalog(this, plat::RECT{10, 2, 200, h - 5}, pane_);
    overview_ = new qxCatalogOverview(this, plat::RECT{210, 2, w - 7, 22}, browser_);
    overview_->Show();
  } else {
    pane_ = new zelvproElementPane(this, plat::RECT{200, 2, w - 8, h - 5});
    browser_ = new qxCatalog(this, plat::RECT{10, 2, 190, h - 5}, pane_);
  }
  browser_->Load();
  new ppFillAdorner(this, kFillPicture);
}

void zelvproElementPalette::DoCommand(int32_t command, intptr_t parameter) {
  if (command != ppButton::kPressedCommand) {
    ppView::DoCommand(command, parameter);
    return;
  }
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i)
    if (auto* button = dynamic_cast<ppButton*>(children.At(i))) button->Unhighlight();
  pressed_ = reinterpret_cast<ppView*>(parameter);
}

void zelvproElementPalette::AddViewMemory(int32_t viewId) {
  if (memoryCount_ >= kMaxViewMemories) return;
  memories_[size_t(memoryCount_++)] = ViewMemory{viewId, 0};
}

zelvproElementPalette::ViewMemory* zelvproElementPalette::FindViewMemory(int32_t viewId) {
  for (int32_t i = 0; i < memoryCount_; ++i)
    if (memories_[size_t(i)].viewId == viewId) return &memories_[size_t(i)];
  return nullptr;
}

void zelvproElementPalette::SaveScrollFor(int32_t viewId) {
  if (ViewMemory* memory = FindViewMemory(viewId)) memory->position = pane_->Strip()->PositionX();
}

void zelvproElementPalette::RestoreScrollFor(int32_t viewId) {
  if (ViewMemory* memory = FindViewMemory(viewId)) {
    zelvproElementScroller* strip = pane_->Strip();
    strip->ScrollTo(memory->position, 0);
    strip->Invalidate();
  }
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}
