#include "controls/ppConfigTab.h"

#include "controls/ControlsDrawing.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "framework/DrawFrameEdge.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"

namespace {
// A caption is measured in a box this large, pixels.
constexpr int32_t kMeasureWidth = 10000;
constexpr int32_t kMeasureHeight = 100;
constexpr int32_t kCaptionPadding = 10;
// Application colours (bytes) and the frame picture of the tabs.
constexpr int32_t kSelectedFill = 1009, kSelectedText = 1010, kFill = 1011, kText = 1012;
constexpr int32_t kEdgePicture = 1102;
}  // namespace

ppConfigTab::ppConfigTab(ppConfigurator* configurator, ppConfigPanel* panel, bool hidden)
    : ppView(configurator, kStay, kStay), configurator_(configurator), panel_(panel), hidden_(hidden) {}

int32_t ppConfigTab::TabWidth() {
  if (hidden_ || panel_ == nullptr) return 0;
  return controls::MeasureDefaultText(panel_->Caption(), kMeasureWidth, kMeasureHeight) + kCaptionPadding;
}

void ppConfigTab::Place(plat::POINT* position) {
  if (hidden_) {
    SetFrame({0, 0, 0, 0});
    return;
  }
  const int32_t width = TabWidth();
  SetFrame({position->x, position->y, position->x + width, position->y + kHeight});
  position->x += width + kGap;
}

void ppConfigTab::DrawContent(ppDC& dc) {
  if (hidden_) return;
  plat::RECT r;
  GetWindowFrame(&r);
  const int32_t height = r.bottom - r.top;
  // The outline slants outwards on the right by the tab's height.
  ppRegion outline;
  outline.BeginPolygon();
  outline.MoveTo(r.left, r.bottom);
  outline.LineTo(r.left, r.top);
  outline.LineTo(r.right - 4, r.top);
  outline.LineTo(r.right - 4 + height, r.bottom);
  outline.LineTo(r.left, r.bottom);
  outline.EndPolygon();
  dc.SetColorBytes(controls::ApplicationColor(selected_ ? kSelectedFill : kFill));
  dc.PaintRegion(outline);
  if (panel_ != nullptr) {
    const plat::RECT text{r.left + 4, r.top + 2, r.right + height, r.bottom};
    controls::DrawDefaultText(dc, panel_->Caption(), text,
                              controls::ApplicationColor(selected_ ? kSelectedText : kText));
  }
  ppPicture* edge = gApplication != nullptr ? gApplication->GetFramePicture(kEdgePicture) : nullptr;
  DrawFrameEdge(edge, r.left + 2, r.bottom + 1, r.left + 2, r.top, &dc);
  DrawFrameEdge(edge, r.left + 2, r.top + 2, r.right - 3, r.top + 2, &dc);
  DrawFrameEdge(edge, r.right - 5, r.top, r.right - 5 + (r.bottom + 1 - r.top), r.bottom + 1, &dc);
}

std::unique_ptr<ppRegion> ppConfigTab::GetFrameRegion() {
  plat::RECT r;
  GetWindowFrame(&r);
  if (r.right <= r.left) return std::make_unique<ppRegion>();
  // The slanted right side and the edges below reach past the frame.
  return std::make_unique<ppRegion>(plat::RECT{r.left, r.top, r.right + (r.bottom - r.top), r.bottom + 2});
}

bool ppConfigTab::IsDoubleClick(int32_t x, int32_t y) {
  ++busy_;
  configurator_->DoCommand(kSelectCommand, reinterpret_cast<intptr_t>(this));
  const bool answer = ppView::IsDoubleClick(x, y);
  --busy_;
  return answer;
}
