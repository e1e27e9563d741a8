#include "controls/ppPictField.h"

#include "framework/ppPicture.h"

namespace {
// Height of a picture field without a picture, pixels.
constexpr int32_t kEmptyHeight = 80;
}  // namespace

ppPictField::ppPictField(ppView* parent, const ppPicture* picture)
    : ppField(parent, nullptr, std::string()),
      picture_(picture != nullptr ? std::make_unique<ppPicture>(*picture) : nullptr) {}

ppPictField::~ppPictField() = default;

int32_t ppPictField::LayoutAt(int32_t top) {
  plat::RECT frame{};
  GetPanelFrame(&frame);
  frame.top = top;
  if (picture_ == nullptr) {
    frame.bottom = top + kEmptyHeight;
  } else {
    const plat::RECT* p = picture_->GetFrame();
    frame.bottom = top + (p->bottom - p->top) + margins_[1] + margins_[3];
  }
  SetFrame(frame);
  return frame.bottom;
}

void ppPictField::DrawContent(ppDC& dc) {
  if (picture_ == nullptr) return;
  plat::RECT rect;
  GetWindowFrame(&rect);
  rect.left += margins_[0], rect.right += margins_[0];
  rect.top += margins_[1], rect.bottom += margins_[1];
  picture_->DrawClipped(dc, rect);
}
