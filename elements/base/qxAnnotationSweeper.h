// The annotation pass a top canvas posts after each paint: it runs after the messages queued before
// it, so the annotations are drawn over the finished picture. A canvas that goes first tells its
// pending passes to forget it. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class zelvproTopCanvas;

class qxAnnotationSweeper : public ppSweeper {
 public:
  // Posts itself to `window` for `canvas` (not owned).
  qxAnnotationSweeper(plat::HWND window, zelvproTopCanvas* canvas);
  ~qxAnnotationSweeper() override;

  void Sweep() override;
  void Forget() { canvas_ = nullptr; }

 private:
  zelvproTopCanvas* canvas_;  // not owned; null once the canvas went
};
