#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Printing.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

int32_t gAbortCalls = 0;
bool gAbortAnswer = true;

// The job's abort procedure as the print code writes it: run what is queued, then go on.
BOOL KeepPrinting(HDC, int32_t) {
  ++gAbortCalls;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  return gAbortAnswer;
}

int32_t gPosted = 0;
LRESULT CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_APP) ++gPosted;
  return DefWindowProcW(w, m, wp, lp);
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Page objects: "/Type /Page" not followed by "s" (which would be the page tree).
int32_t PdfPages(const std::string& pdf) {
  int32_t pages = 0;
  const std::string mark = "/Type /Page";
  for (size_t at = pdf.find(mark); at != std::string::npos; at = pdf.find(mark, at + 1)) {
    if (at + mark.size() < pdf.size() && pdf[at + mark.size()] != 's') ++pages;
  }
  return pages;
}

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gAbortCalls = 0;
    gAbortAnswer = true;
    dir_ = fs::path(PLANNER_BINARY_DIR) / "printing-test" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    setup_.output = (dir_ / "plan.pdf").string();
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  // The framework's page loop: StartDoc, each page drawn between StartPage and EndPage, EndDoc.
  int32_t PrintPages(HDC dc, int32_t pages) {
    DOCINFOA info;
    info.cbSize = kDocInfoSize;
    info.lpszDocName = "Zelvo Pro Opstilling";
    if (StartDocA(dc, &info) <= 0) return -1;
    SetAbortProc(dc, KeepPrinting);
    for (int32_t page = 1; page <= pages; ++page) {
      if (StartPage(dc) <= 0) return -1;
      Rectangle(dc, 300, 300 * page, 900, 300 * page + 300);  // black frame, one inch down per page
      if (EndPage(dc) <= 0) return -1;
    }
    return EndDoc(dc);
  }

  fs::path dir_;
  PrinterSetup setup_;
};

TEST_F(Printing, ThreePagesMakeAThreePageA4Pdf) {
  HDC dc = CreatePrinterDC(setup_);
  ASSERT_NE(dc, nullptr);
  WNDCLASSA wc;
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = "PrintOwner";
  RegisterClassA(&wc);
  HWND owner =
      CreateWindowExA(0, "PrintOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  gPosted = 0;
  PostMessageA(owner, WM_APP, 0, 0);
  EXPECT_GT(PrintPages(dc, 3), 0);
  EXPECT_EQ(gAbortCalls, 3);
  EXPECT_EQ(gPosted, 1);  // the abort procedure kept the queue moving
  std::string pdf = ReadAll(setup_.output);
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPages(pdf), 3);
  EXPECT_NE(pdf.find("595.27"), std::string::npos);  // A4: 595.28 by 841.89 points
  EXPECT_NE(pdf.find("841.88"), std::string::npos);
  EXPECT_FALSE(fs::exists(setup_.output + ".part"));
  EXPECT_TRUE(DeletePrinterDC(dc));
  EXPECT_FALSE(DeletePrinterDC(dc));
}

TEST_F(Printing, AbortingLeavesNoFileAndStopsTheJob) {
  HDC dc = CreatePrinterDC(setup_);
  DOCINFOA info;
  info.cbSize = kDocInfoSize;
  ASSERT_GT(StartDocA(dc, &info), 0);
  EXPECT_LE(StartDocA(dc, &info), 0);  // one document at a time
  StartPage(dc);
  EndPage(dc);
  EXPECT_TRUE(fs::exists(setup_.output + ".part"));
  EXPECT_GT(AbortDoc(dc), 0);
  EXPECT_FALSE(fs::exists(setup_.output));
  EXPECT_FALSE(fs::exists(setup_.output + ".part"));
  EXPECT_LE(StartPage(dc), 0);
  EXPECT_LE(EndDoc(dc), 0);
  EXPECT_LE(AbortDoc(dc), 0);

  gAbortAnswer = false;  // the user cancels: the abort procedure answers false
  EXPECT_LT(PrintPages(dc, 2), 0);
  EXPECT_EQ(gAbortCalls, 1);
  EXPECT_FALSE(fs::exists(setup_.output));
  EXPECT_FALSE(fs::exists(setup_.output + ".part"));

  gAbortAnswer = true;  // a document still running when its context goes is dropped too
  ASSERT_GT(StartDocA(dc, &info), 0);
  DeletePrinterDC(dc);
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(Printing, DeviceCapsDescribeThePaperAt300DotsPerInch) {
  HDC dc = CreatePrinterDC(setup_);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, LOGPIXELSX), 300);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, LOGPIXELSY), 300);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, PHYSICALWIDTH), 2480);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, PHYSICALHEIGHT), 3508);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, HORZRES), 2480);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, HORZSIZE), 209);
  EXPECT_EQ(GetPrinterDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  DeletePrinterDC(dc);
  setup_.orientation = 2;
  HDC landscape = CreatePrinterDC(setup_);
  EXPECT_EQ(GetPrinterDeviceCaps(landscape, PHYSICALWIDTH), 3508);
  EXPECT_EQ(GetPrinterDeviceCaps(landscape, PHYSICALHEIGHT), 2480);
  DeletePrinterDC(landscape);
  HDC memory = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetPrinterDeviceCaps(memory, LOGPIXELSX), 96);  // not a printer
  EXPECT_LE(StartPage(memory), 0);
  DeleteDC(memory);
  setup_.paperWidth = 0;
  EXPECT_EQ(CreatePrinterDC(setup_), nullptr);
}

TEST_F(Printing, PagesAlsoGoToPngFilesWhenAsked) {
  setup_.pngFolder = dir_.string();
  setup_.paperWidth = 1000;  // a 10 by 5 centimetre card keeps the picture small
  setup_.paperHeight = 500;
  HDC dc = CreatePrinterDC(setup_);
  EXPECT_GT(PrintPages(dc, 1), 0);
  std::unique_ptr<Surface> page = ReadPng((dir_ / "page-1.png").string());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->Width(), 1181);
  EXPECT_EQ(page->Height(), 591);
  EXPECT_EQ(page->Pixel(300, 300), 0x000000u);  // the frame's corner
  EXPECT_EQ(page->Pixel(600, 450), 0xFFFFFFu);  // inside, the white brush
  EXPECT_EQ(page->Pixel(100, 100), 0xFFFFFFu);
  DeletePrinterDC(dc);
}

TEST_F(Printing, OutputGoesToTheDocumentsFolderUnderAFreeName) {
  const char* old = std::getenv("XDG_DOCUMENTS_DIR");
  std::string saved = old ? old : "";
  setenv("XDG_DOCUMENTS_DIR", dir_.c_str(), 1);
  EXPECT_EQ(DefaultPrintPath("Plan: kitchen/1"), (dir_ / "Plan_ kitchen_1.pdf").string());
  setup_.output.clear();
  HDC dc = CreatePrinterDC(setup_);
  EXPECT_GT(PrintPages(dc, 1), 0);
  EXPECT_TRUE(fs::exists(dir_ / "Zelvo Pro Opstilling.pdf"));
  EXPECT_EQ(DefaultPrintPath("Zelvo Pro Opstilling"), (dir_ / "Zelvo Pro Opstilling (2).pdf").string());
  DeletePrinterDC(dc);
  setup_.output = (dir_ / "missing-folder" / "x.pdf").string();
  HDC nowhere = CreatePrinterDC(setup_);
  DOCINFOA info;
  info.cbSize = kDocInfoSize;
  EXPECT_EQ(StartDocA(nowhere, &info), SP_ERROR);
  info.cbSize = 12;
  EXPECT_EQ(StartDocA(nowhere, &info), SP_ERROR);
  DeletePrinterDC(nowhere);
  if (old) {
    setenv("XDG_DOCUMENTS_DIR", saved.c_str(), 1);
  } else {
    unsetenv("XDG_DOCUMENTS_DIR");
  }
}

}  // namespace
}  // namespace plat
