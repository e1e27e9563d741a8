// Keeps the colours of a drawing context's fill and background brushes for a scope and remakes both
// brushes in those colours at the end.
#pragma once

#include "platform/GdiTypes.h"

class ppDC;

class ppBrushSaver {
 public:
  explicit ppBrushSaver(ppDC& dc);
  ~ppBrushSaver();
  ppBrushSaver(const ppBrushSaver&) = delete;
  ppBrushSaver& operator=(const ppBrushSaver&) = delete;

 private:
  ppDC& dc_;
  plat::COLORREF fill_ = 0;
  plat::COLORREF back_ = 0;
};
