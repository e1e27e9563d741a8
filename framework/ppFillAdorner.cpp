#include "framework/ppFillAdorner.h"

#include "foundation/ProcessServices.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"

ppFillAdorner::ppFillAdorner(ppView* view, int32_t pictureId)
    : ppAdorner(view, kBefore), pictureId_(pictureId) {}

void ppFillAdorner::Draw(const plat::RECT* frame, char, ppDC* dc) {
  if (!gApplication) return;
  ppBrushSaver brushes(*dc);
  ppPicture* picture = gApplication->GetFillPicture(pictureId_);
  if (picture && !picture->IsEmpty()) {
    picture->DrawTiled(*dc, plat::POINT{frame->left, frame->top}, *frame);
    return;
  }
  dc->SetColorBytes(gApplication->GetColor(pictureId_));
  dc->FillRect(*frame);
}
