// The document window at the sizes a user gives the program's frame, headless on a 1600 by 1000
// screen, with the demo's start plan: smaller than the first size, down to the frame's smallest, and
// larger again, each time followed by F7 and F4 as the user presses them.
// - F7 shows the 3D canvas over the whole work area with its pane drawn and every button in it;
// - after every size change and every view switch, no pixel of an earlier picture is left: the
//   window's pixels are those of a fresh draw (the surface painted over in a colour no view uses,
//   every window of the frame painted again, and the pixels compared).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "StartedProgram.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvproButtonSlider.h"
#include "canvas/view3d/zelvproViewPointButton.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "framework/ppButton.h"
#include "platform/Surface.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

using plat::RECT;

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Meet(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A colour no view of the program paints.
constexpr uint32_t kUnpainted = 0xFF00FF;

class WindowSizesTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    plat::SetVirtualScreenSize(1600, 1000);
  }

  // The frame given `width` by `height` pixels as a drag of its bottom right corner gives it.
  void ResizeFrame(int32_t width, int32_t height) {
    RECT r{};
    plat::GetWindowRect(app_->Frame(), &r);
    plat::Desktop::RequestResize(app_->Frame(), plat::WMSZ_BOTTOMRIGHT,
                                 RECT{r.left, r.top, r.left + width, r.top + height});
    plat::HeadlessDriver::RunUntilIdle();
  }

  // The frame's client pixels, row by row.
  std::vector<uint32_t> ClientPixels() const {
    const plat::Surface* surface = plat::GetWindowSurface(app_->Frame());
    RECT client{}, whole{};
    plat::GetClientRect(app_->Frame(), &client);
    plat::GetWindowRect(app_->Frame(), &whole);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(app_->Frame(), &origin);
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < client.bottom; ++y)
      for (int32_t x = 0; x < client.right; ++x)
        pixels.push_back(surface->Row32(origin.y - whole.top + y)[origin.x - whole.left + x] & 0xFFFFFF);
    return pixels;
  }

  static void InvalidateTree(plat::HWND window) {
    plat::InvalidateRect(window, nullptr, 1);
    for (plat::HWND c = plat::GetWindow(window, plat::GW_CHILD); c; c = plat::GetWindow(c, plat::GW_HWNDNEXT))
      InvalidateTree(c);
  }

  // The client pixels that differ from a fresh draw of the same window (old pixels, or pixels no
  // view paints).
  int64_t OldPixels() {
    const std::vector<uint32_t> shown = ClientPixels();
    plat::Surface* surface = plat::GetWindowSurface(app_->Frame());
    for (int32_t y = 0; y < surface->Height(); ++y)
      std::fill_n(surface->Row32(y), surface->Width(), kUnpainted);
    InvalidateTree(app_->Frame());
    plat::HeadlessDriver::RunUntilIdle();
    const std::vector<uint32_t> fresh = ClientPixels();
    int64_t old = 0;
    for (size_t i = 0; i < fresh.size(); ++i) old += fresh[i] != shown[i] || fresh[i] == kUnpainted;
    return old;
  }

  // The rectangle of `view`, or of window `window`, in the document window's pixels.
  RECT InDocument(ppView& view) const {
    RECT r{};
    view.GetWindowFrame(&r);
    return r;
  }
  RECT InDocument(plat::HWND window) const {
    RECT r{};
    plat::GetWindowRect(window, &r);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(app_->DocumentWindow()->GetHWND(), &origin);
    return {r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
  }

  // The document window's pixel at `p` (its own pixels) as red, green and blue.
  std::array<int, 3> DocumentPixel(plat::POINT p) const {
    plat::ClientToScreen(app_->DocumentWindow()->GetHWND(), &p);
    RECT whole{};
    plat::GetWindowRect(app_->Frame(), &whole);
    const uint32_t c = plat::GetWindowSurface(app_->Frame())->Row32(p.y - whole.top)[p.x - whole.left];
    return {int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)};
  }
};

// 1400 by 900 and 1000 by 700 (smaller than the first size), 640 by 480 (the frame keeps its smallest,
// 800 by 600), then 1600 by 1000 (larger than the one before): the 3D view made at the first F7 and
// shown again at each size after.
TEST_F(WindowSizesTest, AtEverySizeF7ShowsThe3DViewInTheWorkAreaAndNoOldPixelStays) {
  StartOnThePlan();
  zelvproWindow& window = *app_->DocumentWindow();
  EXPECT_EQ(OldPixels(), 0) << "the first picture";
  const struct { int32_t width, height; } sizes[] = {{1400, 900}, {1000, 700}, {640, 480}, {1600, 1000}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + " by " + std::to_string(size.height));
    ResizeFrame(size.width, size.height);
    EXPECT_EQ(OldPixels(), 0) << "after the size change";
    Send(zelvproViewBar::k3DCommand);
    auto* canvas = dynamic_cast<zelvpro3DCanvas*>(window.Made3DCanvas());
    ASSERT_NE(canvas, nullptr);
    EXPECT_TRUE(canvas->IsShown());
    EXPECT_EQ(canvas->GetSupervisor(), &window);
    EXPECT_FALSE(window.EditorCanvasView()->IsShown()) << "the plan stays in the work area";
    EXPECT_EQ(window.EditorCanvasView()->GetSupervisor(), nullptr);

    // The work area: below the view bar, above the element palette, left of the configurator.
    const RECT f = window.GetFrame();
    ASSERT_GE(f.right - f.left, 780);
    const RECT work{f.left, f.top + 59, f.right + 1 - 200, f.bottom - 135 - 1};
    EXPECT_EQ(Str(InDocument(*canvas)), Str(work));
    const RECT pane = InDocument(canvas->Pane()->GetHWND());
    EXPECT_EQ(Str(pane), Str(RECT{work.left + 10, work.top + 4, work.right - 30, work.bottom - 30}));
    EXPECT_TRUE(plat::IsWindowVisible(canvas->Pane()->GetHWND()));
    // The pane drew the room: its back wall, lit grey, in the middle.
    const std::array<int, 3> wall =
        DocumentPixel({(pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2});
    EXPECT_LT(wall[0] + wall[1] + wall[2], 3 * 250) << "the room is not drawn";
    EXPECT_LT(std::max({wall[0], wall[1], wall[2]}) - std::min({wall[0], wall[1], wall[2]}), 12);

    // Every button and slider inside the canvas, beside the pane, none over another.
    std::vector<std::pair<const char*, RECT>> controls = {
        {"rotation slider", InDocument(*canvas->RotationSlider())},
        {"distance slider", InDocument(*canvas->DistanceSlider())},
        {"tilt slider", InDocument(*canvas->TiltSlider())},
        {"home button", InDocument(*canvas->ViewPointButton())},
        {"zoom button", InDocument(*canvas->ZoomModeButton())},
        {"rotation panel", InDocument(*canvas->RotatePanel())},
        {"show fronts", InDocument(*canvas->ShowFrontsButton())},
        {"hide fronts", InDocument(*canvas->HideFrontsButton())}};
    for (size_t i = 0; i < controls.size(); ++i) {
      SCOPED_TRACE(controls[i].first);
      EXPECT_TRUE(Inside(controls[i].second, work)) << Str(controls[i].second);
      EXPECT_FALSE(Meet(controls[i].second, pane)) << Str(controls[i].second);
      for (size_t j = i + 1; j < controls.size(); ++j)
        EXPECT_FALSE(Meet(controls[i].second, controls[j].second)) << controls[j].first;
    }
    // The fronts pair beside the rotation panel.
    EXPECT_EQ(controls[6].second.left - controls[5].second.right, 10);
    EXPECT_EQ(OldPixels(), 0) << "after F7";

    Send(zelvproViewBar::kTopColourCommand);
    EXPECT_TRUE(window.EditorCanvasView()->IsShown());
    EXPECT_EQ(OldPixels(), 0) << "after F7 then F4";
    Send(zelvproViewBar::kRoomDesignCommand);
  }
}

}  // namespace
