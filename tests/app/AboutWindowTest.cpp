#include "AppTestSupport.h"
#include "app/about/zelvproAboutDialog.h"
#include "app/about/zelvproSplash.h"
#include "catalogue/databases/iStartupProgress.h"
#include "catalogue/databases/zelvDatabase.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace {

using apptest::AppTest;
using namespace plat;

class AboutWindows : public AppTest {
 protected:
  void TearDown() override {
    DeleteAboutWindow();
    DeleteCreditsWindow();
    AppTest::TearDown();
  }
  static RECT Outer(zelvproAboutDialog* window) {
    RECT r{};
    GetWindowRect(window->GetHWND(), &r);
    return r;
  }
  static bool Visible(zelvproAboutDialog* window) { return IsWindowVisible(window->GetHWND()) != 0; }
};

TEST_F(AboutWindows, TheAboutWindowIsThePictureCentredOnTheScreen) {
  ShowAboutWindow();
  ASSERT_NE(AboutWindow, nullptr);
  const RECT r = Outer(AboutWindow);
  // The demo's about picture is 360 by 220 pixels; the screen 1280 by 1024.
  EXPECT_EQ(r.left, (1280 - 360) / 2);
  EXPECT_EQ(r.top, (1024 - 220) / 2);
  EXPECT_EQ(r.right - r.left, 360);
  EXPECT_EQ(r.bottom - r.top, 220);
  EXPECT_TRUE(Visible(AboutWindow));
  EXPECT_EQ(GetCapture(), AboutWindow->GetHWND());
  EXPECT_EQ(GetPropA(AboutWindow->GetHWND(), zelvproAboutDialog::kProperty), AboutWindow);
  EXPECT_EQ(gStartupWindow, AboutWindow);
}

TEST_F(AboutWindows, WithoutAPictureTheWindowIsAHundredPixelsSquare) {
  RemoveSkinBitmap(2004);
  ShowAboutWindow();
  const RECT r = Outer(AboutWindow);
  EXPECT_EQ(r.left, 590);
  EXPECT_EQ(r.top, 462);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 100);
}

TEST_F(AboutWindows, AClickOutsideOrAKeyHidesItAndTheCommandShowsTheSameObject) {
  ShowAboutWindow();
  zelvproAboutDialog* first = AboutWindow;
  Desktop::Click({10, 10});
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(Visible(first));
  EXPECT_EQ(GetCapture(), nullptr);
  Desktop::Click({10, 10});  // a second click does nothing more
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(Visible(first));

  ShowAboutWindow();
  EXPECT_EQ(AboutWindow, first);
  EXPECT_TRUE(Visible(first));
  SetFocus(first->GetHWND());
  Desktop::Key(0x41, true);
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(Visible(first));
}

// The main window's close box, clicked while the credits or the about window shows, is a click like
// any other: it hides that window and closes nothing; the next click on it closes the main window.
TEST_F(AboutWindows, TheMainWindowsCloseBoxOnlyHidesTheWindowShown) {
  WNDCLASSA plain{};
  plain.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); };
  plain.lpszClassName = "PlainMain";
  RegisterClassA(&plain);
  HWND main = CreateWindowExA(0, "PlainMain", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(main, nullptr);
  ShowCreditsWindow();
  ShowAboutWindow();
  for (zelvproAboutDialog* shown : {AboutWindow, CreditsWindow}) {
    if (shown == CreditsWindow) ShowCreditsWindow();
    ASSERT_TRUE(Visible(shown));
    Desktop::RequestClose(main);
    HeadlessDriver::RunUntilIdle();
    EXPECT_FALSE(Visible(shown));
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(GetCapture(), nullptr);
  }
  Desktop::RequestClose(main);
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(IsWindow(main));
}

TEST_F(AboutWindows, CreditsShowTheirOwnPictureAndNeverServeAsTheAboutWindow) {
  ShowCreditsWindow();
  ASSERT_NE(CreditsWindow, nullptr);
  EXPECT_EQ(AboutWindow, nullptr);
  EXPECT_EQ(Outer(CreditsWindow).right - Outer(CreditsWindow).left, 320);
  CreditsWindow->Hide();
  ShowAboutWindow();
  ASSERT_NE(AboutWindow, nullptr);
  EXPECT_NE(AboutWindow, CreditsWindow);
  EXPECT_EQ(AboutWindow->PictureId(), zelvproAboutDialog::kAboutPicture);
}

TEST_F(AboutWindows, DeletingClearsEachGlobalOnce) {
  ShowAboutWindow();
  ShowCreditsWindow();
  HWND about = AboutWindow->GetHWND(), credits = CreditsWindow->GetHWND();
  DeleteAboutWindow();
  EXPECT_EQ(AboutWindow, nullptr);
  EXPECT_EQ(gStartupWindow, nullptr);
  EXPECT_FALSE(IsWindow(about));
  DeleteAboutWindow();  // nothing left to delete
  DeleteCreditsWindow();
  EXPECT_EQ(CreditsWindow, nullptr);
  EXPECT_FALSE(IsWindow(credits));
  DeleteCreditsWindow();
}

TEST_F(AboutWindows, TheSplashGrowsAStripWhileStartingAndServesAsAboutWindowAfter) {
  ShowSplash();
  auto* splash = dynamic_cast<zelvproSplash*>(AboutWindow);
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->InProgressMode());
  EXPECT_EQ(std::u16string(splash->ProgressText().c_str()), u"Starting");
  RECT r = Outer(splash);
  EXPECT_EQ(r.right - r.left, 360);
  EXPECT_EQ(r.bottom - r.top, 220 + zelvproSplash::kStripHeight);
  EXPECT_EQ(gStartupWindow, splash);

  ShowStartupProgress(Vcon::WString(u"Opening Vellmora Home Kitchens"));
  EXPECT_EQ(std::u16string(splash->ProgressText().c_str()), u"Opening Vellmora Home Kitchens");

  HideSplash(false);
  EXPECT_FALSE(splash->InProgressMode());
  r = Outer(splash);
  EXPECT_EQ(r.bottom - r.top, 220);
  EXPECT_FALSE(Visible(splash));

  ShowAboutWindow();
  EXPECT_EQ(AboutWindow, splash);
  EXPECT_EQ(Outer(splash).bottom - Outer(splash).top, 220);
  HideSplash(false);  // only the first hiding takes the strip away
  EXPECT_EQ(Outer(splash).bottom - Outer(splash).top, 220);
}

TEST_F(AboutWindows, OpeningACatalogueReportsOnTheSplash) {
  ShowSplash();
  auto* splash = dynamic_cast<zelvproSplash*>(AboutWindow);
  ASSERT_NE(splash, nullptr);
  ppFileSpec file = dbtest::SpecFor(demo_.File("catalogs/kitchen.cdb").string());
  auto kitchen = std::make_unique<zelvDatabase>(file);
  const std::u16string line(splash->ProgressText().c_str());
  EXPECT_EQ(line.rfind(u"Opening ", 0), 0u) << Vcon::WString(line).Narrow().c_str();
  EXPECT_GT(line.size(), 8u);
}

TEST_F(AboutWindows, AnEmptyProgressTextLeavesTheStripWhiteUnderItsTopLine) {
  ShowSplash();
  auto* splash = dynamic_cast<zelvproSplash*>(AboutWindow);
  ASSERT_NE(splash, nullptr);
  HeadlessDriver::RunUntilIdle();
  splash->SetProgressText(Vcon::WString(u""));
  Surface* surface = GetWindowSurface(splash->GetHWND());
  ASSERT_NE(surface, nullptr);
  POINT origin{0, 0};
  ClientToScreen(splash->GetHWND(), &origin);
  RECT outer = Outer(splash);
  const int32_t dx = origin.x - outer.left, dy = origin.y - outer.top;  // client inside the surface
  const RECT strip = splash->Strip();
  int32_t black = 0, white = 0, other = 0;
  for (int32_t x = strip.left; x < strip.right - 1; ++x) black += surface->Pixel(x + dx, strip.top + dy) == 0;
  for (int32_t y = strip.top + 1; y < strip.bottom; ++y)
    for (int32_t x = strip.left; x < strip.right; ++x) {
      const uint32_t pixel = surface->Pixel(x + dx, y + dy);
      pixel == 0xFFFFFF ? ++white : ++other;
    }
  EXPECT_EQ(black, strip.right - 1 - strip.left);
  EXPECT_EQ(other, 0);
  EXPECT_GT(white, 0);

  // A text draws into the strip at once.
  splash->SetProgressText(Vcon::WString(u"Opening"));
  other = 0;
  for (int32_t y = strip.top + 1; y < strip.bottom; ++y)
    for (int32_t x = strip.left; x < strip.right; ++x) other += surface->Pixel(x + dx, y + dy) != 0xFFFFFF;
  EXPECT_GT(other, 0);
}

TEST_F(AboutWindows, AWaitingHideKeepsTheSplashThreeSeconds) {
  LayerClock::SetManual(1000);
  ShowSplash();
  const uint32_t shown = zelvproSplash::kLeastShowing;
  HideSplash(true);
  auto* splash = dynamic_cast<zelvproSplash*>(AboutWindow);
  ASSERT_NE(splash, nullptr);
  EXPECT_GE(LayerClock::Now() * 60u / 1000u - splash->ShownAt(), shown);
  EXPECT_FALSE(Visible(splash));
}

}  // namespace
