#include "canvas/window/zelvproSelectionSweeper.h"

zelvproSelectionSweeper::zelvproSelectionSweeper(plat::HWND window, Canvas* canvas)
    : ppSweeper(window), canvas_(canvas) {}

zelvproSelectionSweeper::~zelvproSelectionSweeper() {
  if (canvas_ != nullptr) canvas_->SweeperGone(this);
}

void zelvproSelectionSweeper::Sweep() {
  Canvas* canvas = canvas_;
  if (canvas == nullptr) return;
  canvas_ = nullptr;
  canvas->SweeperGone(this);
  canvas->UpdateRotatePanel();
}
