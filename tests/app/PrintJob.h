// A print job as the print command runs it: every page of the document window's current view, one
// after another while the view says more follow.
#pragma once

#include <gtest/gtest.h>

#include "canvas/editor/zelvproEditorScroller.h"
#include "framework/ppDC.h"
#include "platform/Printing.h"

namespace apptest {

// Prints `scroller`'s view on `printer` in one job (at most 20 pages), ends the job and deletes the
// printer's context.
inline void PrintEveryPage(plat::HDC printer, zelvproEditorScroller& scroller) {
  plat::DOCINFOA info;
  info.cbSize = plat::kDocInfoSize;
  EXPECT_GT(plat::StartDocA(printer, &info), 0);
  bool more = true;
  for (int32_t page = 1; more && page <= 20; ++page) {
    EXPECT_GT(plat::StartPage(printer), 0);
    {
      ppDC dc(printer);
      more = scroller.Print(dc, page) != 0;
    }
    EXPECT_GT(plat::EndPage(printer), 0);
  }
  EXPECT_GT(plat::EndDoc(printer), 0);
  plat::DeletePrinterDC(printer);
}

}  // namespace apptest
