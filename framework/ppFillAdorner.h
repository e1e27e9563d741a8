#pragma once
// A background drawn before the view's content: the application's fill picture tiled over the frame,
// or, when that picture is missing or empty, the application's colour of the same id.

#include "framework/ppAdorner.h"

class ppFillAdorner : public ppAdorner {
 public:
  ppFillAdorner(ppView* view, int32_t pictureId);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;
  int32_t PictureId() const { return pictureId_; }

 private:
  int32_t pictureId_;
};
