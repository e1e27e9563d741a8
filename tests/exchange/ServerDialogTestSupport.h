// What the server dialog tests share: a headless desktop with a test application (button and logo
// pictures), a parent window, texts by number, modal runs answered by a script of steps (one step each
// time the dialog's loop is idle), clicks and keys, and the comparison with a kept picture. To renew a
// kept picture after a deliberate change: run with PLANNER_WRITE_FIXTURES=1, look at the PNG under
// tests/fixtures/exchange/ and commit it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "exchange/qxServerDialog.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppControlView.h"
#include "framework/ppPendingDeletions.h"
#include "framework/qxAdornerColors.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Shell.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace extest {

class Texts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    auto found = texts.find(number);
    if (found == texts.end()) return false;
    text = found->second;
    return true;
  }
  std::map<int32_t, std::u16string> texts;
};

using Step = std::function<void()>;

class ServerDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    RegisterControlViewClass();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    // Button pictures: a light face with a dark rim, one per state; the logo a blue 120 x 30 block.
    for (int32_t state = 0; state < 4; ++state) {
      app_->pictures[2096 + state] = adorner_tests::MakePicture(70, 19, [state](int x, int y) {
        return (x == 0 || y == 0 || x == 69 || y == 18) ? 0x404040u : state == 2 ? 0xA0A0A0u : 0xE8E8E8u;
      });
    }
    app_->frames[2000] = adorner_tests::SolidPicture(120, 30, 0x2050A0);
    // The configurator colours of the edit fields (bytes): caption band and value, focused or not.
    app_->colours = {{1000, {200, 220, 240}}, {1001, {0, 0, 0}}, {1002, {220, 215, 200}}, {1003, {0, 0, 0}},
                     {1004, {255, 255, 230}}, {1005, {0, 0, 0}}, {1006, {250, 250, 245}}, {1007, {0, 0, 0}}};
    // The document window's colour table: the background shade 11 a light grey (percent).
    for (ppRGBColor& colour : colours_) colour = {100, 0, 100};
    colours_[qxServerDialog::kBackgroundColour] = {85, 85, 85};
    SetDocumentColorTable(colours_);
    window_ = new ppWindow();
    parentWindow_ = adorner_tests::MakeObjectWindow(window_, 640, 480);
    plat::ClearShellExecuteLog();
  }
  void TearDown() override {
    plat::HeadlessDriver::SetIdleScript(nullptr);
    SetTextSource(nullptr);
    SetDocumentColorTable(nullptr);
    delete window_;
    ppPendingDeletions::DeleteAll();
    app_.reset();
    plat::HeadlessDriver::Reset();
  }

  // Runs `dialog` modally; each step runs when the dialog's loop is idle, in order. Answers the result.
  int32_t Run(ppDialog& dialog, std::vector<Step> steps) {
    size_t next = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (next >= steps.size()) return false;
      steps[next++]();
      return true;
    });
    const int32_t result = dialog.RunModal();
    plat::HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(next, steps.size()) << "the dialog ended before its last step";
    return result;
  }

  static plat::HWND Dialog() { return plat::GetActiveWindow(); }
  static plat::HWND Content() { return plat::GetDlgItem(Dialog(), ppViewDialog::kContentItem); }

  // A click at (x, y) of the running dialog's content.
  static Step ClickAt(int32_t x, int32_t y) {
    return [x, y] {
      plat::POINT p{x, y};
      plat::ClientToScreen(Content(), &p);
      plat::Desktop::MouseButton(plat::VK_LBUTTON, true, p);
      plat::Desktop::MouseButton(plat::VK_LBUTTON, false, p);
    };
  }
  // A click in the middle of `frame` (content pixels).
  static Step ClickIn(const plat::RECT& frame) {
    return ClickAt((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
  }
  static Step Key(int32_t key) {
    return [key] {
      plat::Desktop::Key(key, true);
      plat::Desktop::Key(key, false);
    };
  }
  // Lower-case letters and digits, typed as their keys (a letter's key code is its capital).
  static Step Type(std::string text) {
    return [text] {
      for (char c : text) {
        const int32_t key = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
        plat::Desktop::Key(key, true);
        plat::Desktop::Key(key, false);
      }
    };
  }

  // The dialog's window compared with tests/fixtures/exchange/<name>.png.
  static void ExpectLooksAsKept(const std::string& name) {
    const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/exchange/" + name + ".png";
    const std::string actual = std::string(PLANNER_BINARY_DIR) + "/" + name + "-actual.png";
    ASSERT_TRUE(plat::HeadlessDriver::DumpPng(Dialog(), actual));
    if (std::getenv("PLANNER_WRITE_FIXTURES")) plat::HeadlessDriver::DumpPng(Dialog(), kept);
    std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
    std::unique_ptr<plat::Surface> drawn = plat::ReadPng(actual);
    ASSERT_TRUE(expected && drawn) << "missing " << kept << "; the window is in " << actual;
    // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
    const plat::PixelDifference diff = plat::ComparePixels(*expected, *drawn, 8);
    EXPECT_TRUE(diff.sameSize);
    EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
        << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;  // the parent of the dialogs
  plat::HWND parentWindow_ = nullptr;
  Texts texts_;
  ppRGBColor colours_[16];
};

}  // namespace extest
