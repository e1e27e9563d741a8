#include "canvas/window/zelvproSelectionSweeper.h"

#include "canvas/window/zelvproEditorCanvas.h"

zelvproSelectionSweeper::zelvproSelectionSweeper(plat::HWND window, zelvproEditorCanvas* canvas)
    : ppSweeper(window), canvas_(canvas) {}

zelvproSelectionSweeper::~zelvproSelectionSweeper() {
  if (canvas_ != nullptr) canvas_->SweeperGone(this);
}

void zelvproSelectionSweeper::Sweep() {
  zelvproEditorCanvas* canvas = canvas_;
  if (canvas == nullptr) return;
  canvas_ = nullptr;
  canvas->SweeperGone(this);
  canvas->UpdateRotatePanel();
}
