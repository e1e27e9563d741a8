#include "elements/base/zelvproCanvasUpdateSweeper.h"

#include "elements/base/zelvproCanvas.h"

zelvproCanvasUpdateSweeper::zelvproCanvasUpdateSweeper(plat::HWND window, zelvproCanvas* canvas,
                                                       bool configuratorFocus)
    : ppSweeper(window), canvas_(canvas), configuratorFocus_(configuratorFocus) {}

zelvproCanvasUpdateSweeper::~zelvproCanvasUpdateSweeper() {
  if (canvas_ != nullptr) canvas_->UpdateSwept(this);
  // Deleted unrun (its window went): no update is pending any more.
  if (!ran_) zelvproCanvas::ClearCanvasGlobal();
}

void zelvproCanvasUpdateSweeper::Sweep() {
  zelvproCanvas* canvas = canvas_;
  canvas_ = nullptr;
  ran_ = true;
  if (canvas != nullptr) {
    canvas->UpdateSwept(this);
    canvas->RunScheduledUpdate(configuratorFocus_);
  }
  // Cleared after the panel is shown, so that requests the activation makes add nothing.
  zelvproCanvas::ClearCanvasGlobal();
}
