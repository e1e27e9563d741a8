#include "framework/qxLineAdorner.h"

#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/qxAdornerColors.h"

qxLineAdorner::qxLineAdorner(ppView* view, int32_t colour, int32_t edgeMask)
    : ppAdorner(view, kAfter), colour_(colour), edges_(edgeMask) {}

void qxLineAdorner::Draw(const plat::RECT* frame, char pass, ppDC* dc) {
  if (pass != kAfter || edges_ == 0) return;
  ppBrushSaver brushes(*dc);
  SetDocumentColor(*dc, colour_);
  const int32_t l = frame->left, t = frame->top, r = frame->right - 1, b = frame->bottom - 1;
  auto line = [dc](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
  };
  if (edges_ & kLeft) line(l, t, l, b);
  if (edges_ & kTop) line(l, t, r, t);
  if (edges_ & kRight) line(r, t, r, b);
  if (edges_ & kBottom) line(l, b, r, b);
}
