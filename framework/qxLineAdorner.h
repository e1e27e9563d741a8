#pragma once
// One-pixel lines of a colour of the document window's table on chosen edges of the view's frame,
// drawn after the view. Edge mask: bit 0 left, bit 1 top, bit 2 right, bit 3 bottom.

#include "framework/ppAdorner.h"

class qxLineAdorner : public ppAdorner {
 public:
  static constexpr int32_t kLeft = 1;
  static constexpr int32_t kTop = 2;
  static constexpr int32_t kRight = 4;
  static constexpr int32_t kBottom = 8;

  qxLineAdorner(ppView* view, int32_t colour, int32_t edgeMask);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;

 private:
  int32_t colour_;
  int32_t edges_;
};
