#include "framework/qxOutsideFrameAdorner.h"

#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/qxAdornerColors.h"

namespace {

plat::RECT Grown(const plat::RECT& r) { return {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}; }

}  // namespace

qxOutsideFrameAdorner::qxOutsideFrameAdorner(ppView* view, int32_t colour)
    : ppAdorner(view, kAfter), colour_(colour) {}

std::unique_ptr<ppRegion> qxOutsideFrameAdorner::GetRegion(const plat::RECT* frame) {
  return std::make_unique<ppRegion>(Grown(*frame));
}

void qxOutsideFrameAdorner::Draw(const plat::RECT* frame, char, ppDC* dc) {
  ppBrushSaver brushes(*dc);
  SetDocumentColor(*dc, colour_);
  dc->FrameRect(Grown(*frame));
}
