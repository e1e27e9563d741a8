// Boxes over the main window as a user meets them on a Linux desktop: the built program under a real
// window manager (openbox, started by the run), driven through XTEST. Every kind of box stays drawn
// above the main window when the user clicks the main window, its title bar or its close box, and
// still takes Return or Escape from the keyboard. Where menu items lie, and the texts the boxes show,
// are learnt from the same start-up in this process, headless, on a screen of the display's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "app/shell/zelvProApp.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "exchange/qxServerLoginDialog.h"
#include "foundation/TextsById.h"
#include "framework/ppButton.h"
#include "platform/HeadlessDriver.h"
#include "platform/MenuBar.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;

class OwnedBoxesWindowRunTest : public apptest::WindowRunFixture {
 protected:
  void SetUp() override {
    std::string why;
    if (!windowrun::WindowManagerAvailable(&why))
      GTEST_SKIP() << why << ": boxes under a window manager are not tested";
    WindowRunFixture::SetUp();
  }

  // What a user tries on an open box that holds the main window: a click on the main window (on the
  // plan's left ruler, which does nothing even when it is taken), then on its close box; the box must
  // stay drawn on top after each.
  std::vector<std::string> PressTheHeldWindow() const {
    return {"ontop", "click:" + Place(plat::POINT{client_.left + 20, client_.bottom / 2}), "ontop",
            "closebox", "ontop"};
  }

  // The caption of the box that opening `file` shows.
  std::string LoadFailureCaption(const fs::path& file) {
    plat::ClearMessageBoxLog();
    std::string windows = file.string();
    std::replace(windows.begin(), windows.end(), '/', '\\');
    app_->DocumentWindow()->DocumentCommands().OpenFile(
        DocumentFileRecord{Vcon::WString(Vcon::Utf16FromUtf8(windows))});
    plat::HeadlessDriver::RunUntilIdle();
    const std::vector<plat::MessageBoxRecord> shown = plat::MessageBoxLog();
    EXPECT_EQ(shown.size(), 1u) << "opening a damaged file shows no box";
    return shown.empty() ? "" : Vcon::Utf8FromUtf16(shown[0].caption);
  }

  // The run under openbox; a run whose openbox did not start is skipped by the caller.
  windowrun::Outcome RunUnderWindowManager(const std::vector<std::string>& steps) {
    return Run(steps, 90, Quoted(DemoPlan()), "", true);
  }

  // The middle of item `item` of Preferences in the box's pixels, read as it opens (then cancelled).
  static constexpr int32_t kLanguageList = 1072;
  std::string PreferencesItem(int32_t item) {
    std::string place;
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame()) return false;
      place = PopupPlace(WindowIn(plat::GetDlgItem(box, item), box));
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    Send(zelvProApp::kPreferencesCommand);
    plat::HeadlessDriver::SetIdleScript(cancelsDialogs_ ? CancelActiveWindow : std::function<bool()>());
    return place;
  }
};

void Append(std::vector<std::string>& steps, const std::vector<std::string>& more) {
  steps.insert(steps.end(), more.begin(), more.end());
}

// The file boxes and the questions, walked in one run: File > Open (the dialog, then the box that a
// damaged file shows), File > Save As over an existing file (its "replace?" box, answered Yes by
// Return), and after a Text line added to the price list the question that the close box asks (Escape cancels
// it). Each stays above the main window, whose clicks and close box it holds, and answers the keyboard.
TEST_F(OwnedBoxesWindowRunTest, FileBoxesAndTheSaveQuestionStayAboveTheMainWindow) {
  const fs::path damaged = demo_.Root() / "damaged.qxf", other = demo_.Root() / "other.qxf";
  std::ofstream(damaged, std::ios::binary) << std::string("\x93\x11\xfe\x00\x7a\x42\xc8\x05", 8);
  fs::copy_file(DemoPlan(), other);
  std::vector<std::string> steps;
  {
    zelvProApp& app = BeginOnThePlan();
    // The price list's Text button adds a line: the edit that makes the close box ask.
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    const std::string textButton = Place(Frame(*bar->Button(1)));
    const std::string failure = LoadFailureCaption(damaged);
    Append(steps, Choose(zelvproWindow::kOpen));
    steps.push_back("title:Open");
    Append(steps, PressTheHeldWindow());
    Append(steps, windowrun::Typed(damaged.string()));
    Append(steps, {"tap:Return", "title:" + failure});
    Append(steps, PressTheHeldWindow());
    Append(steps, {"tap:Return", "nopopup"});
    Append(steps, Choose(zelvproWindow::kSaveAs));
    Append(steps, windowrun::Typed(other.string()));
    Append(steps, {"tap:Return", "popups:2"});
    Append(steps, PressTheHeldWindow());
    Append(steps, {"tap:Return", "nopopup", "key:F8", "click:" + textButton, "changed", "closebox", "popup"});
    Append(steps, PressTheHeldWindow());
    Append(steps, {"tap:Escape", "nopopup", "alive"});
    Append(steps, CloseWithoutSaving());
    Stop();
  }
  const windowrun::Outcome outcome = RunUnderWindowManager(steps);
  if (outcome.noWindowManager) GTEST_SKIP() << "openbox did not start: " << outcome.log;
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_GT(fs::file_size(other), 0u);
}

// The server's login box (File > Save to Server...), Preferences and the about box in one run: the
// first two hold the main window and stay above it through a click on it and on its close box, and
// Escape closes them; the about box stays above the main window when the user clicks its title bar,
// and a key hides it.
TEST_F(OwnedBoxesWindowRunTest, TheLoginBoxPreferencesAndAboutStayAboveTheMainWindow) {
  std::vector<std::string> steps;
  {
    BeginOnThePlan();
    Append(steps, Choose(uint32_t(uint16_t(zelvProApp::kSaveToServer))));
    steps.push_back("title:" + std::string(TextById(qxServerLoginDialog::kTitleText, "").Narrow().c_str()));
    Append(steps, PressTheHeldWindow());
    Append(steps, {"tap:Escape", "nopopup"});
    Append(steps, Choose(uint32_t(zelvProApp::kPreferencesCommand)));
    steps.push_back("popup");
    Append(steps, PressTheHeldWindow());
    Append(steps, {"tap:Escape", "nopopup"});
    Append(steps, Choose(1));  // About
    Append(steps, {"popup", "ontop", "titlebar", "ontop", "tap:Escape", "nopopup", "close"});
    Stop();
  }
  const windowrun::Outcome outcome = RunUnderWindowManager(steps);
  if (outcome.noWindowManager) GTEST_SKIP() << "openbox did not start: " << outcome.log;
  EXPECT_TRUE(outcome.Passed()) << outcome.log;
}

// What second starts hand over while boxes are open, walked in one run. The plan named on the command
// line is damaged: its load-failure box shows at the start, and a second start hands over another
// damaged file, whose box stands over the first. Each box tells the window manager that it is a modal
// dialog tied to the window it was made over; the main window is tied to none. Preferences' language
// list, a popup of one of its controls, is tied to Preferences. Return answers the
// second box, the first comes up on top again and Return answers it; the main window then takes a
// click (the price list's Text button adds a line). With Preferences open, a second start hands over
// the demo plan: the question about the changed plan (a box of the document window, a child window)
// stands over Preferences, tied to the main window. A click on Preferences, then one on the question's
// Cancel answers it; asked again, a click on Preferences, then one on the question, and Escape answers
// it. Preferences then closes with a click on its Cancel.
TEST_F(OwnedBoxesWindowRunTest, BoxesOfSecondStartsStayAboveTheirWindowsAndAnswer) {
  const fs::path first = Unreadable("first.qxf"), second = Unreadable("second.qxf");
  std::vector<std::string> steps;
  {
    zelvProApp& app = Begin(Quoted(first));
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    const std::string failure = Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption);
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    const std::string textButton = Place(Frame(*bar->Button(1)));
    const BoxFace preferences = FaceOfTheBox(zelvProApp::kPreferencesCommand);
    ASSERT_FALSE(preferences.title.empty());
    const std::string languages = PreferencesItem(kLanguageList);
    ASSERT_FALSE(languages.empty());
    const std::vector<std::string> openPreferences = Choose(uint32_t(zelvProApp::kPreferencesCommand));
    ASSERT_FALSE(openPreferences.empty());
    bar->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(bar->Button(1)));
    plat::HeadlessDriver::RunUntilIdle();
    const BoxFace question = FaceOfTheBox(ppApplication::kQuitCommand);
    ASSERT_FALSE(question.title.empty()) << "Quit asked nothing about the changed plan";
    const std::vector<std::string> closing = CloseWithoutSaving();
    Stop();

    // The two load-failure boxes.
    Append(steps, {"title:" + failure, "ontop", "tied:0>main", "untied", SecondStart(second), "popups:2",
                   "ontop", "tied:0>1", "tied:1>main", "untied", "tap:Return", "popups:1", "ontop",
                   "tied:0>main", "untied", "tap:Return", "nopopup", "untied"});
    // The main window takes a click.
    Append(steps, {"key:F8", "click:" + textButton, "changed"});
    // The question over Preferences, answered by a click and by Escape after a click on Preferences.
    Append(steps, openPreferences);
    // Its language list, a popup of a child window, is tied to Preferences.
    Append(steps, {"title:" + preferences.title, "tied:0>main", "boxpress:0," + languages, "popups:2",
                   "transient:0>1", "tap:Escape", "popups:1", "title:" + preferences.title});
    for (const char* answer : {"click", "Escape"}) {
      Append(steps, {SecondStart(DemoPlan()), "popups:2", "title:" + question.title, "ontop", "tied:0>main",
                     "tied:1>main", "untied", "boxpress:1,4,4", "popups:2"});
      if (std::string(answer) == "click")
        Append(steps, {"popclick:" + question.cancel});
      else
        Append(steps, {"poppress:4,4", "popfocused", "tap:Escape"});
      Append(steps, {"popups:1", "title:" + preferences.title});
    }
    Append(steps, {"popclick:" + preferences.cancel, "nopopup"});
    Append(steps, closing);
  }
  const windowrun::Outcome outcome = Run(steps, 150, Quoted(first), "", true);
  if (outcome.noWindowManager) GTEST_SKIP() << "openbox did not start: " << outcome.log;
  EXPECT_TRUE(outcome.Passed()) << outcome.log;
}

}  // namespace
