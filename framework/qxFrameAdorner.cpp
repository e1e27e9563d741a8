#include "framework/qxFrameAdorner.h"

#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/qxAdornerColors.h"

qxFrameAdorner::qxFrameAdorner(ppView* view, int32_t colour) : ppAdorner(view, kAfter), colour_(colour) {}

void qxFrameAdorner::Draw(const plat::RECT* frame, char, ppDC* dc) {
  ppBrushSaver brushes(*dc);
  SetDocumentColor(*dc, colour_);
  dc->FrameRect(*frame);
}
