#include "app/warnings/qxFadeSweeper.h"

#include "app/warnings/qxWarningWindow.h"

void qxFadeSweeper::Sweep() {
  if (window_ != nullptr) window_->Hide();
}
