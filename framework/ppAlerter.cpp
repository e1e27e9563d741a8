#include "framework/ppAlerter.h"

#include "framework/ppWindow.h"

ppAlerter::ppAlerter(ppWindow* window) : window_(window) {
  if (window_) window_->AddAlerter(this);
}

ppAlerter::~ppAlerter() {
  if (window_) window_->RemoveAlerter(this);
}
