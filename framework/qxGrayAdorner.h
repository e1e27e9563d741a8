#pragma once
// A background of one colour of the document window's colour table, drawn before the view's content.

#include "framework/ppAdorner.h"

class qxGrayAdorner : public ppAdorner {
 public:
  qxGrayAdorner(ppView* view, int32_t colour);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;

 private:
  int32_t colour_;
};
