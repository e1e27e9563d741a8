// The program's boxes as a user meets them while a second start hands a document over, in this process
// with drawn boxes on the headless desktop: the load-failure box of the start-up takes the keys, and a
// box that is open when the hand-over arrives (Preferences, the start-up's load-failure box) keeps its
// clicks and keys while the handed-over document loads under it; what the hand-over opens (the save
// question, its own load-failure box) stands above it and is answered first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "StartedProgram.h"
#include "catalogue/records/zelvproDocFil.h"
#include "platform/DialogMessageBox.h"
#include "platform/WindowManager.h"

namespace {

namespace fs = std::filesystem;

class HandOverBoxesTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    cancelsDialogs_ = false;
    plat::UseDrawnMessageBoxes(true);
  }
  void TearDown() override {
    plat::UseDrawnMessageBoxes(false);
    StartedProgramTest::TearDown();
  }
  // A file that is no plan, beside the settings.
  fs::path Unreadable(const char* name) {
    const fs::path file = demo_.Root() / name;
    std::ofstream(file) << "this is no plan";
    return file;
  }
  // A second copy of the demo plan, so that its name shows in the frame's title once it is loaded.
  fs::path SecondPlan() {
    const fs::path plan = demo_.Root() / "second.qxf";
    fs::copy_file(DemoPlan(), plan, fs::copy_options::overwrite_existing);
    return plan;
  }
  void Stop() {
    app_.reset();
    gApplication = nullptr;
  }
  // Whether the document open is the second plan.
  static bool OnTheSecondPlan() {
    return DocumentRecordFile != nullptr &&
           std::u16string(DocumentRecordFile->DocumentFile().path).find(u"second.qxf") !=
               std::u16string::npos;
  }
  static std::u16string Title(plat::HWND window) {
    char16_t text[256] = {};
    plat::GetWindowTextW(window, text, 256);
    return text;
  }
  static void Press(int32_t key) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
  }
  static void ClickOn(plat::HWND item) {
    plat::RECT r{};
    plat::GetWindowRect(item, &r);
    plat::Desktop::Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  // The idle steps, one each time a loop waits. Once they are used up, an answer was lost: the box
  // still open on top is ended as its close box would, so that the test goes on to report it.
  static std::function<bool()> Steps(std::vector<std::function<void()>>& steps, bool& lost) {
    return [&steps, &lost] {
      if (steps.empty()) {
        lost = true;
        const auto& tops = plat::WindowManager::Instance().TopLevels();
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
          if (*it == gApplication->Frame() || !plat::IsWindowVisible(*it)) continue;
          return plat::EndDialog(*it, plat::IDCANCEL) != 0;
        }
        return false;
      }
      std::function<void()> step = std::move(steps.front());
      steps.erase(steps.begin());
      step();
      return true;
    };
  }
  // What stands on top of every window and has the keys while a box the hand-over opened waits.
  struct Above {
    std::u16string title;
    bool onTop = false, active = false;
  };
  static Above LookAbove() {
    const plat::HWND active = plat::GetActiveWindow();
    return {Title(active), plat::WindowManager::Instance().TopLevels().back() == active,
            plat::IsChild(active, plat::GetFocus()) != 0};
  }
};

// A file named on the command line that is no plan: its box has the keys at once, OK has the focus,
// and Return closes it.
TEST_F(HandOverBoxesTest, TheStartUpLoadFailureBoxClosesOnReturn) {
  bool lost = false, okFocused = false;
  std::vector<std::function<void()>> steps = {[&] {
    okFocused = plat::GetDlgCtrlID(plat::GetFocus()) == plat::IDOK &&
                plat::IsChild(plat::GetActiveWindow(), plat::GetFocus());
    Press(plat::VK_RETURN);
  }};
  plat::HeadlessDriver::SetIdleScript(Steps(steps, lost));
  Start(Unreadable("bad.qxf").string());
  EXPECT_TRUE(okFocused) << "the box's OK has no focus";
  EXPECT_FALSE(lost) << "Return did not close the box";
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_EQ(plat::MessageBoxLog()[0].text, u"Could not load file");
}

// Preferences is open when a second start hands a document over. The document loads under the box;
// a plan changed before first asks whether to save it, a file that is no plan shows its box: each
// stands above Preferences with the keys and is answered (Don't Save, Return). Preferences then still closes
// with a click on Cancel, or with Escape.
TEST_F(HandOverBoxesTest, PreferencesKeepsItsClicksAndKeysAcrossAHandOver) {
  const struct {
    const char* what;
    bool changed;
    bool unreadable;
    bool byClick;
  } cases[] = {{"a plan", false, false, true},
               {"a plan over a changed one", true, false, false},
               {"a file that is no plan", false, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StartOnThePlan();
    const fs::path handed = c.unreadable ? Unreadable("bad.qxf") : SecondPlan();
    if (c.changed) DocumentRecordFile->MarkModified();
    bool lost = false;
    plat::HWND preferences = nullptr;
    std::vector<Above> above;
    std::vector<std::function<void()>> steps = {[&] {
      preferences = plat::GetActiveWindow();
      app_->HandOver(handed.string());
    }};
    if (c.changed || c.unreadable) {
      steps.push_back([&] {
        above.push_back(LookAbove());
        // Don't Save goes on to the handed-over plan.
        if (c.changed)
          ClickOn(plat::GetDlgItem(plat::GetActiveWindow(), zelvproWarningDialog::kNo));
        else
          Press(plat::VK_RETURN);
      });
    }
    steps.push_back([&] {
      if (c.byClick)
        ClickOn(plat::GetDlgItem(preferences, plat::IDCANCEL));
      else
        Press(plat::VK_ESCAPE);
    });
    plat::HeadlessDriver::SetIdleScript(Steps(steps, lost));
    Send(zelvProApp::kPreferencesCommand);
    plat::HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_FALSE(lost) << "Preferences did not take the answer after the hand-over";
    EXPECT_FALSE(plat::IsWindow(preferences));
    if (c.changed || c.unreadable) {
      ASSERT_EQ(above.size(), 1u);
      EXPECT_NE(above[0].title, Title(preferences)) << "the hand-over's box is not above Preferences";
      EXPECT_TRUE(above[0].onTop && above[0].active) << "the hand-over's box has not the keys";
    }
    if (!c.unreadable) EXPECT_TRUE(OnTheSecondPlan()) << "the plan was not loaded under the box";
    Stop();
  }
}

// The start-up's load-failure box is open when a second start hands over a plan, or a file that is no
// plan: the plan loads under the box, the second file's box stands above it and is answered first, and
// the start-up's box then still closes on Return.
TEST_F(HandOverBoxesTest, TheStartUpBoxStillClosesOnReturnAfterAHandOver) {
  for (const bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable ? "a file that is no plan" : "a plan");
    plat::ClearMessageBoxLog();
    const fs::path handed = unreadable ? Unreadable("bad2.qxf") : SecondPlan();
    bool lost = false;
    plat::HWND first = nullptr;
    std::vector<Above> above;
    std::vector<std::function<void()>> steps = {[&] {
      first = plat::GetActiveWindow();
      app_->HandOver(handed.string());
    }};
    if (unreadable) {
      steps.push_back([&] {
        above.push_back(LookAbove());
        above.back().onTop = above.back().onTop && plat::GetActiveWindow() != first;
        Press(plat::VK_RETURN);
      });
    }
    steps.push_back([&] { Press(plat::VK_RETURN); });
    plat::HeadlessDriver::SetIdleScript(Steps(steps, lost));
    Start(Unreadable("bad.qxf").string());
    plat::HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_FALSE(lost) << "the start-up's box did not close on Return after the hand-over";
    EXPECT_FALSE(plat::IsWindow(first));
    if (unreadable) {
      ASSERT_EQ(above.size(), 1u);
      EXPECT_TRUE(above[0].onTop && above[0].active) << "the second box is not above the first with the keys";
      EXPECT_EQ(plat::MessageBoxLog().size(), 2u);
    } else {
      EXPECT_TRUE(OnTheSecondPlan()) << "the plan was not loaded under the box";
    }
    Stop();
  }
}

}  // namespace
