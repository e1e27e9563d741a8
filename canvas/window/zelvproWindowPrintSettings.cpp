#include "canvas/window/zelvproWindowPrintSettings.h"

zelvproWindowPrintSettings::zelvproWindowPrintSettings(const int32_t& scale)
    : scale_(scale), previous_(iPrintSettings::Installed()) {
  iPrintSettings::Install(this);
}

zelvproWindowPrintSettings::~zelvproWindowPrintSettings() {
  if (iPrintSettings::Installed() == this) iPrintSettings::Install(previous_);
}
