#include "elements/base/zelvproCanvasUpdateSweeper.h"

#include "elements/base/zelvproCanvas.h"

zelvproCanvasUpdateSweeper::zelvproCanvasUpdateSweeper(plat::HWND window, zelvproCanvas* canvas)
    : ppSweeper(window), canvas_(canvas) {}

zelvproCanvasUpdateSweeper::~zelvproCanvasUpdateSweeper() {
  if (canvas_ != nullptr) canvas_->UpdateSwept(this);
}

void zelvproCanvasUpdateSweeper::Sweep() {
  zelvproCanvas* canvas = canvas_;
  if (canvas == nullptr) return;
  canvas->UpdateSwept(this);
  canvas_ = nullptr;
  canvas->RunScheduledUpdate();
}
