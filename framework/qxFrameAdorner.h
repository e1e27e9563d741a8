#pragma once
// An outline of the view's frame in a colour of the document window's table, drawn after the view.

#include "framework/ppAdorner.h"

class qxFrameAdorner : public ppAdorner {
 public:
  qxFrameAdorner(ppView* view, int32_t colour);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;

 private:
  int32_t colour_;
};
