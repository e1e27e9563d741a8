#include "framework/ppFrameAdorner.h"

#include "foundation/ProcessServices.h"
#include "framework/DrawFrameEdge.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppRegion.h"

namespace {

ppPicture* FramePicture(int32_t id) { return gApplication ? gApplication->GetFramePicture(id) : nullptr; }

}  // namespace

ppFrameAdorner::ppFrameAdorner(ppView* view, int32_t pictureId, char mode)
    : ppAdorner(view, kAfter), pictureId_(pictureId), mode_(mode) {}

plat::RECT ppFrameAdorner::TargetRect(const plat::RECT& frame, int32_t cx, int32_t cy) const {
  int32_t gx = 0, gy = 0;
  if (mode_ == kOutside) {
    gx = cx;
    gy = cy;
  } else if (mode_ == kHalfOutside) {
    gx = cx / 2;
    gy = cy / 2;
  }
  return {frame.left - gx, frame.top - gy, frame.right + gx, frame.bottom + gy};
}

std::unique_ptr<ppRegion> ppFrameAdorner::GetRegion(const plat::RECT* frame) {
  ppPicture* picture = FramePicture(pictureId_);
  int32_t cx = 0, cy = 0;
  if (picture && !picture->IsEmpty()) {
    cx = picture->GetWidth() / 2;
    cy = picture->GetHeight() / 2;
  }
  return std::make_unique<ppRegion>(TargetRect(*frame, cx, cy));
}

void ppFrameAdorner::Draw(const plat::RECT* frame, char, ppDC* dc) {
  FramePictureCopy copy(FramePicture(pictureId_));
  if (copy.IsEmpty()) return;
  ppBrushSaver brushes(*dc);
  ppClipSaver clip(*dc);
  int32_t cx = copy.Cx();
  int32_t cy = copy.Cy();
  plat::RECT r = TargetRect(*frame, cx, cy);
  if (mode_ == kOutside || mode_ == kHalfOutside) dc->ClipToRect(r);
  int32_t width = r.right - r.left;
  int32_t height = r.bottom - r.top;
  plat::HDC dest = dc->GetHDC();
  // Corners.
  copy.Copy(dest, r.left, r.top, cx, cy, 0, 0);
  copy.Copy(dest, r.right - cx, r.top, cx, cy, cx + 1, 0);
  copy.Copy(dest, r.left, r.bottom - cy, cx, cy, 0, cy + 1);
  copy.Copy(dest, r.right - cx, r.bottom - cy, cx, cy, cx + 1, cy + 1);
  // Edges from one-pixel slices.
  copy.Stretch(dest, r.left + cx, r.top, width - 2 * cx, cy, cx, 0, 1, cy);
  copy.Stretch(dest, r.left + cx, r.bottom - cy, width - 2 * cx, cy, cx, cy + 1, 1, cy);
  copy.Stretch(dest, r.left, r.top + cy, cx, height - 2 * cy, 0, cy, cx, 1);
  copy.Stretch(dest, r.right - cx, r.top + cy, cx, height - 2 * cy, cx + 1, cy, cx, 1);
}
