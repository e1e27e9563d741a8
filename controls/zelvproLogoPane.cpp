#include "controls/zelvproLogoPane.h"

#include "framework/ApplicationSettings.h"
#include "framework/ppApplication.h"
#include "framework/ppPicture.h"

namespace {

ppPicture* Logo() {
  if (gApplication == nullptr) return nullptr;
  ppPicture* logo = gApplication->GetFramePicture(zelvproLogoPane::kLogoPicture);
  return logo != nullptr && !logo->IsEmpty() ? logo : nullptr;
}

bool LeftSide() { return (ApplicationFlags1() & kStayingConfiguratorPane) != 0; }

}  // namespace

zelvproLogoPane::zelvproLogoPane(ppView* supervisor, const plat::RECT& area)
    : ppView(supervisor, LeftSide() ? kStay : kMove, kStay) {
  plat::RECT frame = area;
  if (const ppPicture* logo = Logo()) {
    const plat::RECT* p = logo->GetFrame();
    const int32_t w = p->right - p->left, h = p->bottom - p->top;
    // A logo higher than the area reaches beyond it on both sides.
    frame.top += (area.bottom - area.top - h) / 2;
    if (LeftSide()) {
      frame.right = frame.left + w;
    } else {
      frame.left = frame.right - w;
    }
    frame.bottom = frame.top + h;
  }
  SetFrame(frame);
}

void zelvproLogoPane::DrawContent(ppDC& dc) {
  plat::RECT rect;
  GetWindowFrame(&rect);
  if (const ppPicture* logo = Logo()) logo->DrawClipped(dc, rect);
}
