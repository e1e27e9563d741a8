#pragma once
// Printer contexts belong to their device (Printing.h), which stands above the drawing core: the
// printing code installs this hook before it makes its first printer context, so that DeleteDC and
// GetDeviceCaps on such a context reach the device. Installed once; user-interface thread.

#include <cstdint>

#include "platform/GdiTypes.h"

namespace plat {

struct PrinterContextHook {
  bool (*isPrinter)(HDC dc) = nullptr;
  BOOL (*deleteDc)(HDC dc) = nullptr;  // frees the device and its context
  int32_t (*deviceCaps)(HDC dc, int32_t index) = nullptr;
};

void SetPrinterContextHook(const PrinterContextHook& hook);

}  // namespace plat
