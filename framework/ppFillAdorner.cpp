#include "framework/ppFillAdorner.h"

#include "foundation/ProcessServices.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppRegion.h"
#include "framework/ppView.h"

ppFillAdorner::ppFillAdorner(ppView* view, int32_t pictureId)
    : ppAdorner(view, kBefore), pictureId_(pictureId) {}

std::unique_ptr<ppRegion> ppFillAdorner::GetRegion(const plat::RECT* frame) {
  std::unique_ptr<ppRegion> area = View()->GetFrameRegion();
  area->Intersect(ppRegion(*frame));
  return area;
}

std::unique_ptr<ppRegion> ppFillAdorner::GetOpaqueRegion(const plat::RECT* frame, const ppDC& dc) {
  if (!gApplication || IsUnclipped() || !dc.FillsOpaquely()) return nullptr;
  const ppPicture* picture = gApplication->GetFillPicture(pictureId_);
  if (picture && !picture->IsEmpty()) return nullptr;
  return GetRegion(frame);
}

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
