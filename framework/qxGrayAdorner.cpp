#include "framework/qxGrayAdorner.h"

#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/qxAdornerColors.h"

qxGrayAdorner::qxGrayAdorner(ppView* view, int32_t colour) : ppAdorner(view, kBefore), colour_(colour) {}

void qxGrayAdorner::Draw(const plat::RECT* frame, char pass, ppDC* dc) {
  if (pass != kBefore) return;
  ppBrushSaver brushes(*dc);
  SetDocumentColor(*dc, colour_);
  dc->FillRect(*frame);
}
