#include "framework/ppTextButton.h"

#include "foundation/TextsById.h"
#include "framework/FontCache.h"
#include "framework/ppDC.h"

namespace {

constexpr int32_t kLabelSize = 10;
constexpr int32_t kBold = 1;
constexpr uint32_t kLabelFormat = 0x111;  // centred, word break, no clipping

}  // namespace

ppTextButton::ppTextButton(ppView* supervisor, const plat::RECT* frame, int32_t alternatePicture,
                           const Vcon::WString& text, int32_t textId, int8_t horizontal, int8_t vertical)
    : ppButton(supervisor, frame, kPictures, horizontal, vertical, kPush),
      text_(text),
      alternatePicture_(alternatePicture) {
  SetInitialPictureId(alternatePicture);
  if (textId != 0) GetTextById(textId, text_);
}

void ppTextButton::DrawContent(ppDC& dc) {
  ppButton::DrawContent(dc);
  plat::RECT r;
  GetWindowFrame(&r);
  const int32_t down = (Height() - 12) / 2;
  r.top += down;
  r.bottom += down;
  dc.SetFont(kDefaultFaceName, kLabelSize, kBold, 0.0f);
  dc.DrawText(text_, r, kLabelFormat);
}
