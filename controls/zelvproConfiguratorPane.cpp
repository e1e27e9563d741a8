#include "controls/zelvproConfiguratorPane.h"

#include "controls/zelvproConfigurator.h"
#include "controls/zelvproDocConfigurator.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppFillAdorner.h"
#include "framework/ppFrameAdorner.h"

namespace {
constexpr int32_t kDocumentChannel = 1000, kDocumentLoaded = 1000;
constexpr int32_t kFrameMode = 1;

int8_t Across() {
  return (ApplicationFlags1() & kStayingConfiguratorPane) != 0 ? ppView::kStay : ppView::kMove;
}
}  // namespace

zelvproConfiguratorPane::zelvproConfiguratorPane(ppView* documentWindow, const plat::RECT& frame)
    : ppView(documentWindow, Across(), kStretch) {
  Subscribe(kDocumentChannel, kDocumentLoaded);
  SetFrame(frame);
  const plat::RECT local{0, 0, Width(), Height()};
  configurator_ = new zelvproConfigurator(this, local);
  configurator_->RemoveAll();
  configurator_->PlaceTabs();
  configurator_->Invalidate();
  background_ = new ppView(this, kStay, kStretch);
  background_->DetachFromSupervisor();
  InsertSubview(background_, 0);
  background_->SetFrame({0, 0, Width() + 1, Height() + 1});
  new ppFillAdorner(background_, kBackgroundFill);
  new ppFrameAdorner(this, kFramePicture, kFrameMode);
}

zelvproConfiguratorPane::~zelvproConfiguratorPane() {
  // The document configurator is a subview of the configurator; it goes first, on its own.
  delete docConfigurator_;
}

void zelvproConfiguratorPane::UpdateTexts() {
  ppView::UpdateTexts();
  if (docConfigurator_ == nullptr) docConfigurator_ = new zelvproDocConfigurator(configurator_);
}
