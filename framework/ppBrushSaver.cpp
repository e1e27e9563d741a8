#include "framework/ppBrushSaver.h"

#include "framework/ppDC.h"
#include "platform/Gdi.h"

namespace {

plat::COLORREF BrushColor(plat::HBRUSH brush) {
  plat::LOGBRUSH log;
  if (!brush || plat::GetObjectA(brush, sizeof(log), &log) == 0) return 0;
  return log.lbColor;
}

}  // namespace

ppBrushSaver::ppBrushSaver(ppDC& dc)
    : dc_(dc), fill_(BrushColor(dc.GetFillBrush())), back_(BrushColor(dc.GetBackBrush())) {}

ppBrushSaver::~ppBrushSaver() {
  if (dc_.GetHDC()) dc_.ReplaceBrushes(fill_, back_);
}
