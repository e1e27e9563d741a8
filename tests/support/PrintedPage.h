// One page printed as a print job prints it, into the printer's PDF and PNG forms, and read back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "framework/ppDC.h"
#include "platform/PngFile.h"
#include "platform/Printing.h"

namespace testprint {

// Prints one page on a printer set up as `setup`, its PDF and PNG written into `folder` (made when
// missing); `draw` paints the page. Answers the page as the printer's PNG holds it, null without one.
inline std::unique_ptr<plat::Surface> PrintOnePage(plat::PrinterSetup setup,
                                                   const std::filesystem::path& folder,
                                                   const std::function<void(ppDC&)>& draw) {
  std::filesystem::create_directories(folder);
  setup.output = (folder / "page.pdf").string();
  setup.pngFolder = folder.string();
  plat::HDC printer = plat::CreatePrinterDC(setup);
  plat::DOCINFOA info;
  info.cbSize = plat::kDocInfoSize;
  EXPECT_GT(plat::StartDocA(printer, &info), 0);
  EXPECT_GT(plat::StartPage(printer), 0);
  {
    ppDC dc(printer);
    draw(dc);
  }
  EXPECT_GT(plat::EndPage(printer), 0);
  EXPECT_GT(plat::EndDoc(printer), 0);
  plat::DeletePrinterDC(printer);
  return plat::ReadPng((folder / "page-1.png").string());
}

}  // namespace testprint
