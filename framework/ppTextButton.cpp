#include "framework/ppTextButton.h"

#include "foundation/TextsById.h"
#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/ControlsDrawing.h"

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

bool ppTextButton::HasStatePicture() const {
  if (gApplication == nullptr) return false;
  const ppPicture* picture = gApplication->GetPictureAt(GetPictureId(), GetState());
  return picture != nullptr && !picture->IsEmpty();
}

void ppTextButton::DrawPlainFace(ppDC& dc) {
  plat::RECT r;
  GetWindowFrame(&r);
  const plat::HDC hdc = dc.GetHDC();
  plat::FillSolid(hdc, r, plat::kFaceColor);
  if (GetState() == kPressed) {
    plat::FrameSolid(hdc, r, plat::kShadowColor);
  } else {
    plat::DrawBevel(hdc, r, false);
  }
}

void ppTextButton::DrawContent(ppDC& dc) {
  // A skin without the text buttons' pictures would leave a bare label: the button then wears the
  // desktop's own push-button face, as the buttons of the other dialogs do.
  const bool plain = !HasStatePicture();
  if (plain) {
    DrawPlainFace(dc);
  } else {
    ppButton::DrawContent(dc);
  }
  plat::RECT r;
  GetWindowFrame(&r);
  // On the plain face the label follows the press down and right by a pixel, as on those buttons.
  if (plain && GetState() == kPressed) r = plat::MovedRect(r, 1, 1);
  const int32_t down = (Height() - 12) / 2;
  r.top += down;
  r.bottom += down;
  dc.SetFont(kDefaultFaceName, kLabelSize, kBold, 0.0f);
  dc.DrawText(text_, r, kLabelFormat);
}
