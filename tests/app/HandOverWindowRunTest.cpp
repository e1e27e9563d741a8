// A second start hands a document over while a box of the program is open, in the built program on a
// display (Xvfb, no window manager), driven through XTEST: the box keeps its keys and clicks while the
// document loads under it, and what the hand-over opens stands above it and is answered first. Where
// the menu item, the box's title and its buttons lie is learnt from the same start-up in this process,
// headless, on a screen of the display's size.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/zelvproConfiguratorPane.h"
#include "platform/HeadlessDriver.h"
#include "platform/MenuBar.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;

class HandOverWindowRunTest : public apptest::WindowRunFixture {
 protected:
  // File > Preferences... as the driver's steps that open it (the program runs in this process), with
  // the box's title and its Cancel button's place in the box.
  struct Preferences {
    std::vector<std::string> open;
    std::string title, cancel;
  };
  Preferences LearnPreferences() {
    Preferences found;
    const std::map<uint32_t, plat::RECT> file = MenuItems(0);
    const auto item = file.find(uint32_t(uint16_t(zelvProApp::kPreferencesCommand)));
    EXPECT_NE(item, file.end()) << "the File menu offers no Preferences";
    if (item == file.end()) return found;
    plat::POINT title = Middle(plat::MenuBarItemRects(app_->Frame())[0]);
    plat::ScreenToClient(app_->Frame(), &title);
    const BoxFace face = FaceOfTheBox(zelvProApp::kPreferencesCommand);
    found.title = face.title;
    found.cancel = face.cancel;
    found.open = {"click:" + Place(title), "popup", "popclick:" + PopupPlace(item->second),
                  "title:" + found.title};
    return found;
  }
};

// The plan named on the command line is no plan: its load-failure box shows at the start. A second
// start hands over the demo plan, which loads under the box; Return then closes the box, and the plan
// stays on screen.
TEST_F(HandOverWindowRunTest, TheStartUpBoxClosesOnReturnAfterAPlanLoadedUnderIt) {
  const fs::path bad = Unreadable("bad.qxf"), plan = DemoPlan();
  Begin(Quoted(bad));
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  const std::string caption = "title:" + Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption);
  Stop();
  const windowrun::Outcome outcome = Run({caption, GrabStep("before.ppm"), SecondStart(plan), "changed",
                                          "tap:Return", "nopopup", "alive", GrabStep("after.ppm"), "close"},
                                         90, Quoted(bad));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_GT(Differing(Grabbed("before.ppm"), Grabbed("after.ppm"), client_), 1000)
      << "the handed-over plan is not on screen";
}

// Preferences is open when a second start hands over a file that is no plan: its load-failure box
// stands above Preferences and Return answers it; Preferences then still closes with a click on
// Cancel. Opened again, Preferences stays while the demo plan is handed over and loads under it, and
// again closes with a click on Cancel.
TEST_F(HandOverWindowRunTest, PreferencesAnswersAClickAfterEachHandOver) {
  const fs::path bad = Unreadable("bad.qxf"), plan = DemoPlan();
  Begin();
  const Preferences preferences = LearnPreferences();
  ASSERT_FALSE(preferences.open.empty());
  Stop();
  const std::string cancel = "popclick:" + preferences.cancel;
  const std::string errorBox = (demo_.Root() / "error.ppm").string(),
                    settings = (demo_.Root() / "settings.ppm").string();
  std::vector<std::string> steps = preferences.open;
  steps.insert(steps.end(),
               {"grabpopup:" + settings, SecondStart(bad), "title:Error", "grabpopup:" + errorBox,
                "tap:Return", "alive", cancel, "nopopup", GrabStep("before.ppm")});
  steps.insert(steps.end(), preferences.open.begin(), preferences.open.end());
  // "changed" waits for the window to differ from the last picture the driver settled on: that must
  // be Preferences open over the old plan, or the step passes at once and the hand-over is not waited.
  steps.insert(steps.end(), {GrabStep("handing.ppm"), SecondStart(plan), "changed", cancel, "nopopup",
                             "alive", GrabStep("after.ppm"), "close"});
  const windowrun::Outcome outcome = Run(steps, 120);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  const windowrun::Grab error = windowrun::ReadPpm(errorBox), box = windowrun::ReadPpm(settings);
  EXPECT_TRUE(error.width > 0 && error.width < box.width && error.height < box.height)
      << "the load-failure box was not the window on top";
  EXPECT_GT(Differing(Grabbed("before.ppm"), Grabbed("after.ppm"), client_), 1000)
      << "the handed-over plan is not on screen";
}

// A plan saved beside the price list, and one saved in the 3D view, come up beside that view's own
// side panel when they are handed over or opened while Room Design or the price list is shown: the
// panel is the one the view bar shows when the view is chosen by hand (Room Design's panel before the
// load is another).
TEST_F(HandOverWindowRunTest, APlanLoadedFromRoomDesignComesUpBesideItsViewsOwnPanel) {
  zelvProApp& app = BeginOnThePlan();
  zelvproWindow& window = *app.DocumentWindow();
  const auto saveIn = [&](int32_t view, const char* name) {
    window.ViewBar()->SelectViewById(view);
    plat::HeadlessDriver::RunUntilIdle();
    const fs::path file = demo_.Root() / name;
    DocumentRecordFile->DocumentFile().path = Vcon::WString(Vcon::Utf16FromUtf8(file.string()));
    DocumentRecordFile->SetSavedOnce(true);
    Send(zelvproWindow::kSave);
    return file;
  };
  const fs::path prices = saveIn(zelvproViewBar::kItemListView, "prices.qxf");
  const fs::path scene = saveIn(zelvproViewBar::k3DView, "scene.qxf");
  ASSERT_TRUE(fs::exists(prices) && fs::exists(scene));
  const plat::RECT panel = Frame(*window.ConfiguratorPane());
  Stop();

  const auto open = [](const fs::path& file) {
    std::vector<std::string> steps = {"tap:Control_L+o", "title:Open"};
    for (const std::string& key : windowrun::Typed(file.string())) steps.push_back(key);
    steps.insert(steps.end(), {"tap:Return", "nopopup"});
    return steps;
  };
  const std::vector<std::string> roomDesign = {"tap:F2", "changed"};
  std::vector<std::string> steps = {"tap:F2", GrabStep("room.ppm"), SecondStart(prices), "changed",
                                    GrabStep("handed.ppm")};
  // The price list chosen by hand, beside the panel the view bar gives it.
  steps.insert(steps.end(), roomDesign.begin(), roomDesign.end());
  steps.insert(steps.end(), {"tap:F8", "changed", GrabStep("prices.ppm")});
  steps.insert(steps.end(), roomDesign.begin(), roomDesign.end());
  for (const std::string& step : open(prices)) steps.push_back(step);
  steps.push_back(GrabStep("opened.ppm"));
  steps.insert(steps.end(), roomDesign.begin(), roomDesign.end());
  for (const std::string& step : open(scene)) steps.push_back(step);
  steps.push_back(GrabStep("opened3d.ppm"));
  // Opened again while the price list it was saved beside is shown.
  steps.insert(steps.end(), {"tap:F8", "changed"});
  for (const std::string& step : open(prices)) steps.push_back(step);
  steps.push_back(GrabStep("reopened.ppm"));
  steps.insert(steps.end(), roomDesign.begin(), roomDesign.end());
  steps.insert(steps.end(), {"tap:F7", "changed", GrabStep("view3d.ppm"), "close"});
  const windowrun::Outcome outcome = Run(steps, 180);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab byHand = Grabbed("prices.ppm");
  ASSERT_GT(Differing(Grabbed("room.ppm"), byHand, panel), 1000) << "Room Design's panel is the price list's";
  EXPECT_EQ(Differing(Grabbed("handed.ppm"), byHand, panel), 0) << "handed over from Room Design";
  EXPECT_EQ(Differing(Grabbed("opened.ppm"), byHand, panel), 0) << "opened from Room Design";
  EXPECT_EQ(Differing(Grabbed("reopened.ppm"), byHand, panel), 0) << "opened beside the price list";
  EXPECT_EQ(Differing(Grabbed("opened3d.ppm"), Grabbed("view3d.ppm"), panel), 0)
      << "the 3D view's plan opened";
}

}  // namespace
