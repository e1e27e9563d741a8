// The 3D view's off-screen renders on the worker thread: the BMP file of the current view read back
// byte by byte, and the 3D print on the platform printer (its PNG page compared by pixel).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ColorApplication.h"
#include "PaneTestDoubles.h"
#include "foundation/FileRecord.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/Printing.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxOffscreenRender.h"
#include "scene3d/panes/qxPrintPage.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "tests/framework/TestWindow.h"

namespace {

namespace fs = std::filesystem;
using pane_tests::BoxElement;
using pane_tests::TestHost;

constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 300;
constexpr uint32_t kGrey = 0xCCCCCC;  // colour 1022, the background

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + size_t(i)]);
  return value;
}

class OffscreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100000);
    app_ = std::make_unique<ColorApplication>();
    app_->colors[1022] = {0.8f, 0.8f, 0.8f, 1};
    frame_ = picture_tests::MakeTestWindow(kWidth, kHeight, 0x336699, &surface_);
    zelvpro3DPane::RegisterClass();
    box_ = std::make_unique<BoxElement>(7, ppVector3(0, 0, 0), 500);
    host_.elements = {box_.get()};
    pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, kWidth, kHeight}, &host_);
    ASSERT_NE(pane_, nullptr);
    pane_->Show();
    qx3DNavigation::FitCurrent(*pane_, host_.CanvasBounds(1.02f));
    pane_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
    folder_ = fs::temp_directory_path() / ("offscreen-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    plat::DestroyWindow(pane_->GetHWND());
    Shared3DContext::Delete();
    app_.reset();
    plat::HeadlessDriver::Reset();
    fs::remove_all(folder_);
  }
  // Where the box's front face shows in the pane, in pane pixels.
  plat::POINT BoxCentre() { return qx3DPicking::ProjectToWindow(*pane_, ppVector3(0, 0, 500)); }

  std::unique_ptr<ColorApplication> app_;
  plat::HWND frame_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<BoxElement> box_;
  TestHost host_;
  zelvpro3DPane* pane_ = nullptr;
  fs::path folder_;
};

TEST_F(OffscreenTest, FilePictureIsA1024By768BmpShowingTheBox) {
  const fs::path file = folder_ / "view.bmp";
  std::ofstream(file) << "an older and shorter file";
  ASSERT_TRUE(pane_->RunOffscreenRenderThread(WideFromNarrow(file.c_str())));
  EXPECT_FALSE(qxOffscreenRender::Busy());
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 2359350u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  const std::pair<size_t, uint32_t> fields[] = {{2, 2359350},   {6, 0},     {10, 54},
                                                {14, 40},       {18, 1024}, {22, 768},
                                                {26, 0x180001}, {30, 0},    {34, 2359296}};
  for (const auto& [at, value] : fields) EXPECT_EQ(Get32(bytes, at), value) << "offset " << at;
  // The pane and the file share the aspect ratio: pane pixels scale by 1024 / 400.
  auto filePixel = [&](int32_t x, int32_t y) {
    const size_t at = 54 + size_t(767 - y) * 3072 + size_t(x) * 3;
    return uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint8_t(bytes[at]);
  };
  const plat::POINT c = BoxCentre();
  const uint32_t inPane = surface_->Pixel(c.x, c.y) & 0xFFFFFF;
  EXPECT_NE(inPane, kGrey);
  EXPECT_EQ(filePixel(int32_t(c.x * 2.56), int32_t(c.y * 2.56)), inPane);
  EXPECT_EQ(filePixel(2, 2), kGrey);
  EXPECT_EQ(filePixel(1021, 765), kGrey);
}

TEST_F(OffscreenTest, UnwritableFileAnswersFalseAndFreesTheWorker) {
  EXPECT_FALSE(pane_->RunOffscreenRenderThread(WideFromNarrow((folder_ / "missing" / "view.bmp").c_str())));
  EXPECT_FALSE(qxOffscreenRender::Busy());
  EXPECT_TRUE(pane_->RunOffscreenRenderThread(WideFromNarrow((folder_ / "again.bmp").c_str())));
}

// An 80 x 100 mm page at 300 dpi, printed to PDF with a PNG copy of the page.
class OffscreenPrintTest : public OffscreenTest {
 protected:
  plat::HDC StartPrinter() {
    plat::PrinterSetup setup;
    setup.paperWidth = 800;
    setup.paperHeight = 1000;
    setup.output = (folder_ / "print.pdf").string();
    setup.pngFolder = folder_.string();
    plat::HDC dc = plat::CreatePrinterDC(setup);
    plat::DOCINFOA info{plat::kDocInfoSize, "3D", nullptr, nullptr, 0};
    EXPECT_GT(plat::StartDocA(dc, &info), 0);
    EXPECT_GT(plat::StartPage(dc), 0);
    return dc;
  }
  // Prints the view on a page whose image rectangle lies 2 mm in and 15 mm down, then reads the page.
  std::unique_ptr<ppPicture> PrintPage(bool stretch) {
    plat::HDC printer = StartPrinter();
    if (!stretch) plat::SetDCRasterCaps(printer, plat::RC_BITBLT);
    qxPrintPage page;
    page.pageWidth = 945;
    page.pageHeight = 1181;
    page.pixelsPerMmX = page.pixelsPerMmY = 300.0f / 25.4f;
    page.textScale = 1;
    pane_->ComputePrintLayout(page);
    page_ = page;
    {
      ppDC dc(printer);
      EXPECT_TRUE(pane_->RunOffscreenPrintThread(dc, page));
    }
    EXPECT_FALSE(qxOffscreenRender::Busy());
    EXPECT_GT(plat::EndPage(printer), 0);
    EXPECT_GT(plat::EndDoc(printer), 0);
    plat::DeletePrinterDC(printer);
    EXPECT_TRUE(fs::exists(folder_ / "print.pdf"));
    return std::make_unique<ppPicture>(ppFileSpec(WideFromNarrow((folder_ / "page-1.png").c_str())));
  }
  static uint32_t At(const ppPicture& picture, int32_t x, int32_t y) {
    const std::vector<uint8_t> bgr = picture.GetPixelsBGR();
    const size_t stride = size_t((picture.GetWidth() * 3 + 3) & ~3);
    const size_t at = size_t(picture.GetHeight() - 1 - y) * stride + size_t(x) * 3;
    return uint32_t(bgr[at + 2]) << 16 | uint32_t(bgr[at + 1]) << 8 | bgr[at];
  }
  qxPrintPage page_;
};

TEST_F(OffscreenPrintTest, ImageFillsItsRectangleUnderTheFramedHeader) {
  std::unique_ptr<ppPicture> png = PrintPage(true);
  ASSERT_FALSE(png->IsEmpty());
  const plat::RECT& r = page_.image;
  // The box sits in the middle of the image, the background at its corners.
  EXPECT_NE(At(*png, (r.left + r.right) / 2, (r.top + r.bottom) / 2), kGrey);
  EXPECT_EQ(At(*png, r.left + 3, r.top + 3), kGrey);
  EXPECT_EQ(At(*png, r.right - 4, r.bottom - 4), kGrey);
  EXPECT_EQ(At(*png, r.left - 3, r.top + 3), 0xFFFFFFu);
  // The header's frame ends 20 device pixels from the page's right edge.
  const int32_t top = int32_t(10 * page_.pixelsPerMmY);
  EXPECT_EQ(At(*png, 945 - 21, top + 40) & 0xFFFFFF, 0u);
  EXPECT_EQ(At(*png, 945 - 19, top + 40), 0xFFFFFFu);
}

TEST_F(OffscreenPrintTest, DeviceWithoutStretchGetsTheHeaderOnly) {
  std::unique_ptr<ppPicture> png = PrintPage(false);
  ASSERT_FALSE(png->IsEmpty());
  const plat::RECT& r = page_.image;
  EXPECT_EQ(At(*png, (r.left + r.right) / 2, (r.top + r.bottom) / 2), 0xFFFFFFu);
  const int32_t top = int32_t(10 * page_.pixelsPerMmY);
  EXPECT_EQ(At(*png, 945 - 21, top + 40), 0u);
}

}  // namespace
