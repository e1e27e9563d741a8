#include "controls/ppDivider.h"

#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/ppFrameAdorner.h"

ppDivider::ppDivider(ppView* parent) : ppField(parent, nullptr, std::string()) {}

ppDivider::ppDivider(ppView* parent, int32_t framePicture)
    : ppField(parent, nullptr, std::string()), height_(3) {
  new ppFrameAdorner(this, framePicture, ppFrameAdorner::kInside);  // the view owns it
}

int32_t ppDivider::LayoutAt(int32_t top) {
  if (!IsShown()) return top;
  plat::RECT frame{};
  GetPanelFrame(&frame);
  frame.left += margins_[0];
  frame.right -= margins_[2];
  frame.top = top + margins_[1];
  frame.bottom = frame.top + height_;
  SetFrame(frame);
  return top + margins_[1] + height_ + margins_[3];
}

void ppDivider::DrawContent(ppDC& dc) {
  if (height_ != 1) return;
  ppBrushSaver brushes(dc);
  plat::RECT frame;
  GetWindowFrame(&frame);
  dc.SetColor(ppRGBColor{0, 0, 0});
  dc.SetPenSize(1, 2);
  dc.MoveTo(frame.left, frame.top);
  // LineTo leaves out its end point: the line covers the frame's pixels left to right - 1.
  dc.LineTo(frame.right, frame.top);
  dc.SetNormalPen();
}
