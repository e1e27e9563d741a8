#include "catalogue/browser/qxCatalogOverview.h"

#include <algorithm>

#include "catalogue/browser/iItemPictureList.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "foundation/ProcessServices.h"
#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppFillAdorner.h"
#include "framework/ppPicture.h"
#include "platform/Gdi.h"

qxCatalogOverview::qxCatalogOverview(ppView* supervisor, const plat::RECT& frame, qxCatalog* browser)
    : ppView(supervisor), browser_(browser) {
  SetFrame(frame);
  if (browser_ != nullptr) browser_->SetOverview(this);
  new ppFillAdorner(this, kFillPicture);
}

qxCatalogOverview::~qxCatalogOverview() {
  if (browser_ != nullptr) browser_->SetOverview(nullptr);
}

void qxCatalogOverview::SetPath(const qxNode* node) {
  path_.clear();
  for (; node != nullptr; node = node->Parent()) path_.push_back(node);
  std::reverse(path_.begin(), path_.end());
  Invalidate();
  if (browser_ != nullptr && browser_->PictureList() != nullptr)
    browser_->PictureList()->InvalidateElement(this, true);
}

void qxCatalogOverview::DrawContent(ppDC& dc) {
  ppBrushSaver brushes(dc);
  ppClipSaver clip(dc);
  plat::RECT r;
  GetWindowFrame(&r);
  dc.ClipToRect(r);
  ppPicture* separator = gApplication != nullptr ? gApplication->GetFramePicture(kSeparatorPicture) : nullptr;
  const ppRGBColor color = gApplication != nullptr ? gApplication->GetColor(kColor) : ppRGBColor{};
  dc.SetColorBytes(color);
  if (dc.GetHDC() != nullptr) plat::SetTextColor(dc.GetHDC(), plat::RGB(color.red, color.green, color.blue));
  const int32_t baseline = r.bottom - 2;
  dc.MoveTo(r.left, baseline);
  dc.LineTo(r.right - 1, baseline);
  int32_t x = r.left + kTextLeft;
  for (size_t i = 0; i < path_.size(); ++i) {
    if (!path_[i]->HasDisplayText()) continue;
    const Vcon::WString text = path_[i]->DisplayText();
    // The face as a program string: the height is the cell height in pixels, so the text's top
    // stands kFontHeight above the point it is drawn at.
    dc.SetFont(Vcon::String(kDefaultFaceName), kFontHeight, 0, 0.0f);
    dc.SelectFont();
    dc.DrawTextAt(text, x, baseline);
    dc.RestoreFont();
    x += dc.GetTextWidth(text);
    if (i + 1 < path_.size()) {
      if (separator != nullptr) separator->Draw(dc, plat::RECT{x, r.top + 3, x + kSeparatorWidth, baseline});
      x += kSeparatorWidth;
    }
  }
}
