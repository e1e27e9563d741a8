#pragma once
// An outline one pixel outside the view's frame, in a colour of the document window's table, drawn
// after the view; its region is the frame grown by one pixel on every side.

#include "framework/ppAdorner.h"

class qxOutsideFrameAdorner : public ppAdorner {
 public:
  qxOutsideFrameAdorner(ppView* view, int32_t colour);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;
  std::unique_ptr<ppRegion> GetRegion(const plat::RECT* frame) override;

 private:
  int32_t colour_;
};
