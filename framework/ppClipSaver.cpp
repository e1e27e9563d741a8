#include "framework/ppClipSaver.h"

#include "framework/ppDC.h"
#include "framework/ppRegion.h"

ppClipSaver::ppClipSaver(ppDC& dc) : dc_(dc), saved_(dc.GetHDC() ? dc.GetClipRegion() : nullptr) {}

ppClipSaver::~ppClipSaver() {
  if (!saved_) return;
  dc_.SetClipRegion(saved_.get());
}
