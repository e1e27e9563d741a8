// A small application run end to end: the frame with its menu bar, the client and a document window
// holding a view tree, driven by a script of clicks and keys through the message loop, and compared
// with kept images. To renew the images after a deliberate change: run with PLANNER_WRITE_FIXTURES=1,
// look at tests/fixtures/framework/app_start.png and app_after_script.png, and commit them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ApplicationSettings.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPane.h"
#include "platform/Gdi.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

// Three squares; a click on one turns it from blue to orange and back.
class Board : public ppPane {
 public:
  Board(ppView* supervisor, RECT frame) : ppPane(supervisor, frame, kStay, kStay) {}
  void DrawContent(ppDC& dc) override {
    RECT r;
    GetWindowFrame(&r);
    dc.SetGray(90);
    dc.FillRect(r);
    for (int32_t i = 0; i < 3; ++i) {
      if (on[i]) {
        dc.SetColorRGB(100, 60, 0);
      } else {
        dc.SetColorRGB(0, 30, 90);
      }
      dc.FillRect(Square(i));
    }
  }
  bool MouseDown(int32_t x, int32_t y) override {
    for (int32_t i = 0; i < 3; ++i) {
      RECT s = Square(i);
      if (x >= s.left && x < s.right && y >= s.top && y < s.bottom) {
        on[i] = !on[i];
        ++clicks;
        Invalidate();
        return true;
      }
    }
    return false;
  }
  RECT Square(int32_t i) {
    RECT r;
    GetWindowFrame(&r);
    int32_t left = r.left + 10 + i * 70;
    return {left, r.top + 10, left + 60, r.top + 70};
  }
  bool on[3] = {false, false, false};
  int32_t clicks = 0;
};

// A line of text that tells what happened so far.
class Status : public ppPane {
 public:
  Status(ppView* supervisor, RECT frame) : ppPane(supervisor, frame, kStay, kStay) {}
  void DrawContent(ppDC& dc) override {
    RECT r;
    GetWindowFrame(&r);
    dc.SetGray(100);
    dc.FillRect(r);
    dc.SetColorRGB(0, 0, 0);
    dc.SetFont(Vcon::String("Arial"), 14, 0, 0.0f);
    dc.DrawText(Vcon::WString(text.c_str()), {r.left + 4, r.top + 2, r.right, r.bottom}, 0);
  }
  std::string text = "Ready";
};

// The document window: a light background, the board, the status line and a marker that the arrow
// keys move along the bottom.
class Document : public ppWindow {
 public:
  explicit Document(const RECT& rect) : ppWindow(WS_MAXIMIZE, &rect, 1) {
    board = new Board(this, {20, 20, 240, 100});
    status = new Status(this, {20, 110, 240, 130});
  }
  void DrawContent(ppDC& dc) override {
    dc.SetGray(75);
    dc.FillRect(GetFrame());
    dc.SetColorRGB(80, 0, 0);
    dc.FillRect({20 + marker * 30, 150, 40 + marker * 30, 170});
  }
  void KeyDown(signed char key, int32_t) override {
    if (key == static_cast<signed char>(VK_RIGHT)) ++marker;
    status->text = "Clicks " + std::to_string(board->clicks) + ", marker at " + std::to_string(marker);
    Invalidate();
  }
  Board* board = nullptr;
  Status* status = nullptr;
  int32_t marker = 0;
};

bool MatchesKept(HWND window, const std::string& name, std::string* message) {
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/framework/" + name + ".png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/" + name + "-actual.png";
  if (!HeadlessDriver::DumpPng(window, actual)) return *message = "cannot write " + actual, false;
  if (std::getenv("PLANNER_WRITE_FIXTURES")) HeadlessDriver::DumpPng(window, kept);
  std::unique_ptr<Surface> expected = ReadPng(kept);
  std::unique_ptr<Surface> drawn = ReadPng(actual);
  if (!expected || !drawn) return *message = "missing " + kept + "; the window is in " + actual, false;
  // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
  PixelDifference diff = ComparePixels(*expected, *drawn, 8);
  if (diff.sameSize && diff.pixels <= drawn->Width() * drawn->Height() / 200) return true;
  *message = name + ": " + std::to_string(diff.pixels) + " pixels differ, first at " +
             std::to_string(diff.firstX) + "," + std::to_string(diff.firstY) + "; see " + actual;
  return false;
}

POINT ScreenPoint(HWND window, int32_t x, int32_t y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

TEST(ApplicationPicture, AScriptOfClicksAndKeysDrawsAsKept) {
  HeadlessDriver::Reset();
  SetVirtualScreenSize(480, 360);
  RECT bar{0, 330, 480, 360};
  Desktop::SetTaskBar(&bar);
  SetTextAntialias(false);
  SetFrameLocked(false);
  SetPlacementMode(0);
  SetFrameTitle("Planner");

  auto app = std::make_unique<ppApplication>(nullptr, nullptr);
  app->Startup();
  RECT client{};
  GetClientRect(app->GetHWND(), &client);
  auto doc = std::make_unique<Document>(client);
  doc->Show();
  doc->Activate();
  SetFocus(doc->GetHWND());
  HWND frame = app->Frame();
  HWND docWindow = doc->GetHWND();

  std::vector<std::string> failures;
  auto check = [&](const std::string& name) {
    std::string message;
    if (!MatchesKept(frame, name, &message)) failures.push_back(message);
  };
  // Each step runs when the loop has nothing left to do, so everything before it has been painted.
  std::vector<std::function<void()>> script = {
      [&] { check("app_start"); },
      [&] { Desktop::Click(ScreenPoint(docWindow, 20 + 10 + 30, 20 + 10 + 30)); },
      [&] { Desktop::Click(ScreenPoint(docWindow, 20 + 150 + 30, 20 + 40)); },
      [&] { Desktop::Click(ScreenPoint(docWindow, 5, 5)); },  // beside the board: nothing
      [&] {
        Desktop::Key(VK_RIGHT, true, true);
        Desktop::Key(VK_RIGHT, false, true);
        Desktop::Key(VK_RIGHT, true, true);
        Desktop::Key(VK_RIGHT, false, true);
      },
      [&] { check("app_after_script"); },
      [&] { app->DoCommand(ppApplication::kQuitCommand, 0); },
  };
  size_t next = 0;
  HeadlessDriver::SetIdleScript([&] {
    if (next >= script.size()) return false;
    script[next++]();
    return true;
  });
  EXPECT_EQ(app->Run(), 0);
  EXPECT_EQ(next, script.size());
  EXPECT_TRUE(doc->board->on[0]);
  EXPECT_FALSE(doc->board->on[1]);
  EXPECT_TRUE(doc->board->on[2]);
  EXPECT_EQ(doc->marker, 2);
  for (const std::string& failure : failures) ADD_FAILURE() << failure;

  doc.reset();
  app.reset();
  SetTextAntialias(true);
  SetVirtualScreenSize(1280, 1024);
  SetFrameLocked(true);
  SetFrameTitle("");
  HeadlessDriver::Reset();
}

}  // namespace
