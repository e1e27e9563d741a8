#pragma once
// A background drawn before the view's content: the application's fill picture tiled over the frame,
// or, when that picture is missing or empty, the application's colour of the same id. It covers the
// view's own area only (its frame region): a view with cut-outs, such as the document window's
// background behind its panes, is not filled under what lies in them, which paints there anyway.

#include "framework/ppAdorner.h"

class ppFillAdorner : public ppAdorner {
 public:
  ppFillAdorner(ppView* view, int32_t pictureId);
  void Draw(const plat::RECT* frame, char pass, ppDC* dc) override;
  std::unique_ptr<ppRegion> GetRegion(const plat::RECT* frame) override;
  // Its area when it falls back to a solid colour; a tiled picture may hold see-through pixels.
  std::unique_ptr<ppRegion> GetOpaqueRegion(const plat::RECT* frame, const ppDC& dc) override;
  int32_t PictureId() const { return pictureId_; }

 private:
  int32_t pictureId_;
};
