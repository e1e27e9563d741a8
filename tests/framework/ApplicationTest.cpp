#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/ApplicationSettings.h"
#include "framework/ppApplication.h"
#include "framework/ppCursorTable.h"
#include "framework/ppMenuHelper.h"
#include "framework/ppPicture.h"
#include "platform/Cursors.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

std::vector<std::string> gLog;

bool Logged(const std::string& entry) { return std::find(gLog.begin(), gLog.end(), entry) != gLog.end(); }
int32_t TimesLogged(const std::string& entry) {
  return static_cast<int32_t>(std::count(gLog.begin(), gLog.end(), entry));
}

class TestApp : public ppApplication {
 public:
  explicit TestApp(HINSTANCE previous = nullptr) : ppApplication(nullptr, previous) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    gLog.push_back("command " + std::to_string(command));
    ppApplication::DoCommand(command, parameter);
  }
  bool CanClose() override {
    gLog.push_back("can close");
    return canClose;
  }
  int32_t HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DESTROY) gLog.push_back("frame destroyed");
    return ppApplication::HandleMessage(message, wParam, lParam);
  }
  bool PreTranslate(MSG* msg) override { return msg->message != WM_COMMAND || msg->wParam != refused; }
  bool canClose = true;
  WPARAM refused = 0;
};

// A document window inside the application's client that logs the commands reaching it.
class DocWindow : public ppWindow {
 public:
  explicit DocWindow(const RECT& rect) : ppWindow(WS_MAXIMIZE, &rect, 1) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    gLog.push_back("document " + std::to_string(command));
    ppWindow::DoCommand(command, parameter);
  }
};

class Application : public ::testing::Test {
 protected:
  void SetUp() override { FreshDesktop(); }
  void TearDown() override {
    doc_.reset();
    app_.reset();
    HeadlessDriver::Reset();  // the settings below go back with it
  }
  // A fresh desktop with the settings every test here starts from.
  static void FreshDesktop() {
    HeadlessDriver::Reset();
    gLog.clear();
    SetFrameLocked(false);
    SetPlacementMode(1);
    SetFrameTitle("Planner \xe9t\xe9");
    BottomTaskBar();
  }
  static void BottomTaskBar() {
    RECT bar{0, 984, 1280, 1024};
    Desktop::SetTaskBar(&bar);
  }
  void Start() {
    app_ = std::make_unique<TestApp>();
    app_->Startup();
    HeadlessDriver::RunUntilIdle();
  }
  void OpenDocument() {
    RECT client{};
    GetClientRect(app_->GetHWND(), &client);
    doc_ = std::make_unique<DocWindow>(client);
    doc_->Activate();
    HeadlessDriver::RunUntilIdle();
  }
  // Runs the loop; once the queue is empty the script quits (unlocked).
  int32_t RunThenQuit() {
    bool quitting = false;
    HeadlessDriver::SetIdleScript([this, &quitting] {
      if (quitting) return false;
      quitting = true;
      SetFrameLocked(false);
      app_->DoCommand(ppApplication::kQuitCommand, 0);
      return true;
    });
    return app_->Run();
  }
  RECT FrameRect() {
    RECT r{};
    GetWindowRect(app_->Frame(), &r);
    return r;
  }
  std::unique_ptr<TestApp> app_;
  std::unique_ptr<DocWindow> doc_;
};

TEST_F(Application, StartupMakesTheFrameWithItsClientMenuAndKeys) {
  Start();
  HWND frame = app_->Frame();
  ASSERT_TRUE(IsWindow(frame));
  char name[32] = {};
  GetClassNameA(frame, name, 32);
  EXPECT_STREQ(name, "Zelvo Pro");
  char title[32] = {};
  GetWindowTextA(frame, title, 32);
  EXPECT_STREQ(title, "Planner \xe9t\xe9");
  // The application's own window is the client inside the frame.
  EXPECT_EQ(GetParent(app_->GetHWND()), frame);
  GetClassNameA(app_->GetHWND(), name, 32);
  EXPECT_STREQ(name, "MDICLIENT");
  EXPECT_EQ(ppWindow::ApplicationWindow(), app_.get());
  ASSERT_NE(app_->FrameMenu(), nullptr);
  EXPECT_EQ(GetMenu(frame), app_->FrameMenu());
  EXPECT_EQ(app_->MenuHelper()->Menu(), app_->FrameMenu());
  EXPECT_NE(app_->Accelerators(), nullptr);
  for (const char* cls : {"Zelvo Pro", "ppWin", "ZelvCtrl"})
    EXPECT_TRUE(GetClassInfoA(nullptr, cls, nullptr)) << cls;
}

TEST_F(Application, SevenStandardCursorsFollowTheArrowDefault) {
  Start();
  ppCursorTable* table = ppCursorTable::Global();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->Count(), 7);
  const uint16_t expected[] = {IDC_WAIT, 0, IDC_CROSS, IDC_CROSS, IDC_ARROW, IDC_ARROW, IDC_SIZEWE};
  for (int32_t slot = 0; slot < 7; ++slot) {
    EXPECT_EQ(ppApplication::StandardCursor(slot), slot);
    const ppCursor* cursor = table->At(slot);
    EXPECT_EQ(cursor->Handle() ? cursor->Handle()->systemId : 0, expected[slot]) << slot;
  }
  table->SetByIndex(ppApplication::StandardCursor(0));
  app_->AdjustCursor(0, 0);
  EXPECT_EQ(GetCursor()->systemId, IDC_ARROW);
  // The application deletes the table with itself.
  app_.reset();
  EXPECT_EQ(ppCursorTable::Global(), nullptr);
}

TEST_F(Application, TheFrameStopsAtATaskBarAlongTheBottom) {
  Start();
  EXPECT_EQ(FrameRect(), (RECT{0, 0, 1280, 984}));
  EXPECT_FALSE(IsZoomed(app_->Frame()));
}

TEST_F(Application, ATaskBarOnAnotherEdgeLeavesTheWholeScreen) {
  for (RECT bar : {RECT{0, 0, 60, 1024}, RECT{1220, 0, 1280, 1024}, RECT{0, 0, 1280, 40}}) {
    FreshDesktop();
    Desktop::SetTaskBar(&bar);
    Start();
    EXPECT_EQ(FrameRect(), (RECT{0, 0, 1280, 1024})) << bar.left << "," << bar.top;
    app_.reset();
  }
}

TEST_F(Application, PlacementModesOneAndTwoRestoreAndOthersMaximise) {
  for (int32_t mode : {0, 1, 2, 3}) {
    HeadlessDriver::Reset();
    BottomTaskBar();
    SetPlacementMode(mode);
    Start();
    EXPECT_EQ(IsZoomed(app_->Frame()) != 0, mode != 1 && mode != 2) << "mode " << mode;
    EXPECT_TRUE(IsWindowVisible(app_->Frame()));
    EXPECT_TRUE(IsWindowVisible(app_->GetHWND()));
    app_.reset();
  }
}

TEST_F(Application, APreviousInstanceGetsNoFrameOrClasses) {
  app_ = std::make_unique<TestApp>(reinterpret_cast<HINSTANCE>(1));
  app_->Startup();
  EXPECT_EQ(app_->Frame(), nullptr);
  EXPECT_FALSE(GetClassInfoA(nullptr, "Zelvo Pro", nullptr));
  EXPECT_NE(ppCursorTable::Global(), nullptr);
  EXPECT_NE(app_->MenuHelper(), nullptr);
}

TEST_F(Application, QuitWithTheFrameLockedStartsANewDocument) {
  Start();
  SetFrameLocked(true);
  PostMessageA(app_->Frame(), WM_COMMAND, ppApplication::kQuitCommand, 0);
  HeadlessDriver::RunUntilIdle();
  app_->DoCommand(ppApplication::kQuitCommand, 0);
  Desktop::RequestClose(app_->Frame());  // the close box
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(TimesLogged("command 11"), 3);
  EXPECT_FALSE(Logged("can close"));
  EXPECT_TRUE(IsWindow(app_->Frame()));
}

TEST_F(Application, QuitUnlockedClosesTheFrameAfterCommand304AndEndsTheLoop) {
  Start();
  PostMessageA(app_->Frame(), WM_COMMAND, ppApplication::kQuitCommand, 0);
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_FALSE(IsWindow(app_->Frame()));
  ASSERT_EQ(gLog, (std::vector<std::string>{"can close", "command 304", "frame destroyed"}));
}

TEST_F(Application, AFrameThatMayNotCloseStaysWithItsDocuments) {
  Start();
  OpenDocument();
  app_->canClose = false;
  SendMessageA(app_->Frame(), WM_CLOSE, 0, 0);
  // Ending the session is refused the same way.
  SendMessageA(app_->Frame(), 0x0011, 0, 0);
  EXPECT_EQ(TimesLogged("can close"), 2);
  EXPECT_FALSE(Logged("command 304"));
  EXPECT_TRUE(IsWindow(app_->Frame()));
  EXPECT_TRUE(IsWindow(doc_->GetHWND()));
}

TEST_F(Application, MenuAndKeyCommandsReachTheActiveDocumentOnce) {
  Start();
  OpenDocument();
  SetFocus(doc_->GetHWND());
  PostMessageA(app_->Frame(), WM_COMMAND, 3003, 0);  // a menu item
  Desktop::Key(VK_F2, true);                         // an accelerator key
  Desktop::Key(VK_F2, false);
  EXPECT_EQ(RunThenQuit(), 0);
  EXPECT_EQ(TimesLogged("document 3003"), 1);
  EXPECT_EQ(TimesLogged("document 3001"), 1);
  // Command 1 stops at the application.
  gLog.clear();
  app_->DoCommand(ppApplication::kIgnoredCommand, 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"command 1"}));
}

TEST_F(Application, RefusedMessagesAndThoseAfterTheClientIsGoneAreDropped) {
  Start();
  app_->refused = 600;
  PostMessageA(app_->Frame(), WM_COMMAND, 600, 0);
  PostMessageA(app_->Frame(), WM_COMMAND, 601, 0);
  PostQuitMessage(3);
  EXPECT_EQ(app_->Run(), 3);
  EXPECT_FALSE(Logged("command 600"));
  EXPECT_TRUE(Logged("command 601"));
  DestroyWindow(app_->GetHWND());
  PostMessageA(app_->Frame(), WM_COMMAND, 500, 0);
  PostQuitMessage(7);
  EXPECT_EQ(app_->Run(), 7);
  EXPECT_FALSE(Logged("command 500"));
}

TEST_F(Application, AFailedStartIsShownInABoxAndReturns) {
  class FailingApp : public TestApp {
   public:
    void Startup() override { throw static_cast<int32_t>(-38); }
  };
  FailingApp app;
  RunApplication(&app);
  std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, u"Zelvo Pro");
  EXPECT_EQ(boxes[0].style & 0xF0, MB_ICONHAND);
  EXPECT_NE(boxes[0].text.find(u"-38"), std::u16string::npos);
}

TEST_F(Application, PicturesAreKeptAndMissingOnesComeBackEmpty) {
  app_ = std::make_unique<TestApp>();
  ppPicture* red = app_->GetPictureAt(61000, 1);
  ASSERT_NE(red, nullptr);
  EXPECT_FALSE(red->IsEmpty());
  EXPECT_EQ(red->GetWidth(), 2);
  EXPECT_EQ(app_->GetFramePicture(61001), red);
  ppPicture* missing = app_->GetFillPicture(61999);
  ASSERT_NE(missing, nullptr);
  EXPECT_TRUE(missing->IsEmpty());
  EXPECT_EQ(app_->GetColor(5), (ppRGBColor{255, 255, 255}));
  ppFloat4 white = app_->GetColorF(5);
  EXPECT_EQ(white.v[3], 1.0f);
}

}  // namespace
