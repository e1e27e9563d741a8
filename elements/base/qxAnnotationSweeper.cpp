#include "elements/base/qxAnnotationSweeper.h"

#include "elements/base/zelvproTopCanvas.h"

qxAnnotationSweeper::qxAnnotationSweeper(plat::HWND window, zelvproTopCanvas* canvas)
    : ppSweeper(window), canvas_(canvas) {}

qxAnnotationSweeper::~qxAnnotationSweeper() {
  if (canvas_ != nullptr) canvas_->AnnotationSwept(this);
}

void qxAnnotationSweeper::Sweep() {
  zelvproTopCanvas* canvas = canvas_;
  if (canvas == nullptr) return;
  canvas_ = nullptr;
  canvas->AnnotationSwept(this);
  canvas->DrawAnnotations();
}
