#include "app/warnings/qxWarningAlerter.h"

#include "app/warnings/qxWarningWindow.h"

void qxWarningAlerter::KeyDown() {
  if (warning_ != nullptr) warning_->Hide();
}

void qxWarningAlerter::MouseDown() {
  if (warning_ != nullptr) warning_->Hide();
}
