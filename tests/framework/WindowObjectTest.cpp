#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ppAlerter.h"
#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "framework/ppPane.h"
#include "framework/ppSweeper.h"
#include "framework/ppUndoer.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

std::vector<std::string> gLog;

class TestWindow : public ppWindow {
 public:
  void DoCommand(int32_t command, intptr_t parameter) override {
    gLog.push_back("command " + std::to_string(command) + "," + std::to_string(parameter));
    ppWindow::DoCommand(command, parameter);
  }
  void KeyDown(signed char key, int32_t flags) override {
    gLog.push_back("key " + std::to_string(key) + "," + std::to_string(flags));
  }
  void DrawContent(ppDC& dc) override {
    dc.SetColorRGB(100, 100, 100);
    dc.FillRect(GetFrame());
  }
};

// A dark block that starts a mouse task when pressed.
class Block : public ppPane {
 public:
  Block(ppView* supervisor, RECT frame) : ppPane(supervisor, frame, kStay, kStay) {}
  void DrawContent(ppDC& dc) override {
    RECT r;
    GetWindowFrame(&r);
    dc.SetColorRGB(0, 0, 50);
    dc.FillRect(r);
  }
  bool MouseDown(int32_t x, int32_t y) override {
    if (!ContainsPoint(x, y)) return false;
    task = new Dragger(this);
    task->Start(x, y);
    return true;
  }

  class Dragger : public ppMouseTask {
   public:
    explicit Dragger(ppView* view) : ppMouseTask(view, nullptr) {}
    ~Dragger() override { gLog.push_back("task deleted"); }
    void Click() override { gLog.push_back("click"); }
    void Do() override {
      gLog.push_back("do");
      ppMouseTask::Do();
      View()->Invalidate();  // while the task runs: cued, repeated after it lets go
    }
  };
  Dragger* task = nullptr;
};

class Alert : public ppAlerter {
 public:
  using ppAlerter::ppAlerter;
  void KeyDown() override { gLog.push_back("alerter key"); }
  void MouseDown() override { gLog.push_back("alerter press"); }
};

class WindowObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gLog.clear();
    ppView::ResetClickPoint();
    ppWindow::SetFrameLocked(false);
    WNDCLASSA wc;
    wc.lpfnWndProc = ppWindow::ChildProc;
    wc.lpszClassName = "ZelvCtrl";
    RegisterClassA(&wc);
    window_ = new TestWindow();
    ppWindow::SetObjectUnderConstruction(window_);
    hwnd_ = CreateWindowExA(0, "ZelvCtrl", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                            nullptr, nullptr);
    window_->SetOwnsWindow(true);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    delete window_;
    HeadlessDriver::Reset();
    ppWindow::SetFrameLocked(true);
  }
  std::vector<uint32_t> Pixels() {
    Surface* s = GetWindowSurface(hwnd_);
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < s->Height(); ++y) {
      for (int32_t x = 0; x < s->Width(); ++x) out.push_back(s->Pixel(x, y));
    }
    return out;
  }
  TestWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(WindowObjects, BindsAtCreationAndLetsGoAtDestruction) {
  EXPECT_EQ(window_->GetHWND(), hwnd_);
  EXPECT_EQ(GetPropA(hwnd_, ppWindow::kObjectProperty), window_);
  EXPECT_EQ(window_->GetFrame(), (RECT{0, 0, 400, 300}));
  DestroyWindow(hwnd_);
  EXPECT_FALSE(IsWindow(hwnd_));
}

TEST_F(WindowObjects, SizingKeepsTheMinimumOnlyWhenTheWindowWouldBeSmaller) {
  RECT r{300, 300, 1000, 800};
  SendMessageA(hwnd_, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{200, 200, 1000, 800}));
  RECT large{0, 0, 900, 700};
  SendMessageA(hwnd_, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&large));
  EXPECT_EQ(large, (RECT{0, 0, 900, 700}));
  RECT narrow{0, 0, 500, 700};
  SendMessageA(hwnd_, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&narrow));
  EXPECT_EQ(narrow, (RECT{0, 0, 800, 700}));
}

TEST_F(WindowObjects, DeleteKeyOfTheEditingBlockIsACommandAndAlertersHearFirst) {
  Alert alert(window_);
  SetFocus(hwnd_);
  Desktop::Key(VK_DELETE, true, true);
  Desktop::Key(VK_DELETE, true, false);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"alerter key", "command 36,0", "alerter key", "key 46,0"}));
}

TEST_F(WindowObjects, MinimisedSizeChangesNothing) {
  SendMessageA(hwnd_, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(10, 10));
  EXPECT_EQ(window_->GetFrame(), (RECT{0, 0, 400, 300}));
  MoveWindow(hwnd_, 0, 0, 500, 350, 1);
  EXPECT_EQ(window_->GetFrame(), (RECT{0, 0, 500, 350}));
}

TEST_F(WindowObjects, AQuickPressAndReleaseIsAClickAndTheTaskIsGone) {
  new Block(window_, {50, 50, 100, 100});
  Alert alert(window_);
  LayerClock::SetManual(10'000);
  Desktop::MouseButton(VK_LBUTTON, true, {60, 60});
  HeadlessDriver::RunUntilIdle();
  EXPECT_NE(window_->MouseTask(), nullptr);
  EXPECT_EQ(GetCapture(), hwnd_);
  Desktop::MouseMove({200, 200});
  LayerClock::Advance(199);
  Desktop::MouseButton(VK_LBUTTON, false, {200, 200});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"alerter press", "click", "task deleted"}));
  EXPECT_EQ(window_->MouseTask(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

// The cancel that the desktop's close request sends during a drag: the task goes without doing
// anything, the capture is let go, and the release that follows is an ordinary one.
// The close request while a caption-less top-level window's own task holds the mouse: the press
// outside the window that the desktop gives it ends the task as a cancel (nothing done, the task
// gone, its feedback drawn over, the mouse let go), and the user's release later does nothing.
TEST_F(WindowObjects, ACloseRequestOverACaptionlessWindowsDragCancelsItsTask) {
  (new Block(window_, {50, 50, 100, 100}))->Invalidate();
  HeadlessDriver::RunUntilIdle();
  const std::vector<uint32_t> before = Pixels();
  LayerClock::SetManual(10'000);
  Desktop::MouseButton(VK_LBUTTON, true, {60, 60});
  Desktop::MouseMove({200, 200});
  LayerClock::Advance(1000);
  HeadlessDriver::RunUntilIdle();
  ASSERT_NE(window_->MouseTask(), nullptr);
  ASSERT_NE(Pixels(), before) << "the drag drew no feedback";
  gLog.clear();
  Desktop::RequestClose(hwnd_);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"task deleted"}));
  EXPECT_EQ(window_->MouseTask(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Pixels(), before) << "the feedback stayed";
  Desktop::MouseButton(VK_LBUTTON, false, {200, 200});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"task deleted"}));
}

TEST_F(WindowObjects, ACloseRequestDuringADragEndsTheTaskWithoutDoingIt) {
  new Block(window_, {50, 50, 100, 100});
  LayerClock::SetManual(10'000);
  Desktop::MouseButton(VK_LBUTTON, true, {60, 60});
  Desktop::MouseMove({200, 200});
  LayerClock::Advance(1000);
  HeadlessDriver::RunUntilIdle();
  ASSERT_NE(window_->MouseTask(), nullptr);
  gLog.clear();
  SendMessageW(hwnd_, WM_CANCELMODE, 0, 0);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"task deleted"}));
  EXPECT_EQ(window_->MouseTask(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  Desktop::MouseButton(VK_LBUTTON, false, {200, 200});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"task deleted"}));
}

// Two quick presses on a window whose class asks for double clicks: the views still hear two presses
// (they tell double clicks themselves), so the second one is not lost.
TEST_F(WindowObjects, TheSecondPressOfADoubleClickIsAPressToo) {
  WNDCLASSA wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ppWindow::ChildProc;
  wc.lpszClassName = "ZelvDoubleCtrl";
  RegisterClassA(&wc);
  auto* window = new TestWindow();
  ppWindow::SetObjectUnderConstruction(window);
  HWND hwnd = CreateWindowExA(0, "ZelvDoubleCtrl", "", WS_POPUP | WS_VISIBLE, 500, 0, 200, 200, nullptr,
                              nullptr, nullptr, nullptr);
  window->SetOwnsWindow(true);
  Alert alert(window);
  LayerClock::SetManual(10'000);
  for (int i = 0; i < 2; ++i) {
    Desktop::Click({560, 60});
    HeadlessDriver::RunUntilIdle();
  }
  EXPECT_EQ(gLog, (std::vector<std::string>{"alerter press", "alerter press"}));
  DestroyWindow(hwnd);
  delete window;
}

TEST_F(WindowObjects, ADragLeavesNoTraceOfItsFeedbackAndRepeatsCuedInvalidations) {
  auto* block = new Block(window_, {50, 50, 100, 100});
  block->Invalidate();
  HeadlessDriver::RunUntilIdle();
  std::vector<uint32_t> before = Pixels();
  ASSERT_EQ(GetWindowSurface(hwnd_)->Pixel(60, 60), 0x000080u);
  LayerClock::SetManual(10'000);
  Desktop::MouseButton(VK_LBUTTON, true, {60, 60});
  HeadlessDriver::RunUntilIdle();
  ppMouseTask* task = block->task;
  ppUndoer history;
  history.Post(task);  // kept in the history when its drag is done
  for (POINT p : {POINT{70, 65}, POINT{90, 80}, POINT{120, 110}}) {
    LayerClock::Advance(100);
    Desktop::MouseMove(p);
    HeadlessDriver::RunUntilIdle();
  }
  EXPECT_NE(Pixels(), before);  // the outline shows while dragging
  Desktop::MouseButton(VK_LBUTTON, false, {120, 110});
  // Handle the release alone: the cued invalidation waits for its sweeper.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageA(&msg);
    if (msg.message == WM_LBUTTONUP) break;
  }
  EXPECT_EQ(gLog, (std::vector<std::string>{"do"}));
  EXPECT_EQ(window_->CuedInvalidationCount(), 1);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(window_->CuedInvalidationCount(), 0);
  EXPECT_EQ(history.DoneTop(), task);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(WindowObjects, SweepersReachTheWindowAfterTheHandler) {
  struct Note : ppSweeper {
    explicit Note(HWND w) : ppSweeper(w) {}
    void Sweep() override { gLog.push_back("swept"); }
  };
  new Note(hwnd_);
  gLog.push_back("posted");
  EXPECT_TRUE(AnySweeperPending());
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"posted", "swept"}));
  EXPECT_FALSE(AnySweeperPending());
}

TEST_F(WindowObjects, CapturedReleaseOutsideTheWindowArrivesNegative) {
  struct Watch : ppMouseTask {
    explicit Watch(ppView* v) : ppMouseTask(v, nullptr) {}
    ppMouseTask* MouseUp(POINT* p) override {
      gLog.push_back(std::to_string(p->x) + "," + std::to_string(p->y));
      Finish();
      return nullptr;
    }
  };
  MoveWindow(hwnd_, 100, 100, 400, 300, 1);
  HeadlessDriver::RunUntilIdle();
  auto* task = new Watch(window_);
  task->Start(10, 10);
  Desktop::MouseButton(VK_LBUTTON, false, {80, 90});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"-20,-10"}));
}

}  // namespace

namespace {

TEST(WindowPageSetup, DefaultsAreTwentyFiveAndThirtyMillimetreMargins) {
  ppWindow window;
  const plat::PAGESETUPDLGA& record = window.PageSetupRecord();
  EXPECT_EQ(record.Flags, plat::PSD_MARGINS | plat::PSD_INHUNDREDTHSOFMILLIMETERS);
  EXPECT_EQ(record.rtMargin, (plat::RECT{2500, 3000, 2500, 3000}));
}

}  // namespace

namespace {

class DropPane : public ppPane {
 public:
  using ppPane::ppPane;
  bool CanAcceptDrop(int32_t, int32_t, const std::string& data) override {
    return data.rfind("item:", 0) == 0;
  }
  void AcceptDrop(int32_t x, int32_t y, const std::string& data) override {
    gLog.push_back("drop " + data + " at " + std::to_string(x) + "," + std::to_string(y));
  }
};

TEST(WindowDrops, TextReachesTheViewUnderThePointInWindowCoordinates) {
  plat::HeadlessDriver::Reset();
  gLog.clear();
  plat::WNDCLASSA wc;
  wc.lpfnWndProc = plat::DefWindowProcA;
  wc.lpszClassName = "Plain";
  plat::RegisterClassA(&wc);
  plat::HWND hwnd = plat::CreateWindowExA(0, "Plain", "", plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE, 100,
                                          100, 400, 300, nullptr, nullptr, nullptr, nullptr);
  {
    ppWindow window(hwnd);
    RECT client;
    plat::GetClientRect(hwnd, &client);
    window.SetFrame(client);
    new DropPane(&window, {10, 10, 110, 110}, ppView::kStay, ppView::kStay);
    plat::POINT inside{20, 30};
    plat::ClientToScreen(hwnd, &inside);
    plat::POINT outside{200, 200};
    plat::ClientToScreen(hwnd, &outside);
    // The drop leaves the effect as the source offered it.
    EXPECT_NE(plat::InjectTextDrop({outside, inside}, plat::MK_LBUTTON, "item:42"), plat::DROPEFFECT_NONE);
    EXPECT_EQ(gLog, (std::vector<std::string>{"drop item:42 at 20,30"}));
    gLog.clear();
    EXPECT_EQ(plat::InjectTextDrop({inside}, plat::MK_LBUTTON, "other text"), plat::DROPEFFECT_NONE);
    EXPECT_EQ(plat::InjectTextDrop({outside}, plat::MK_LBUTTON, "item:1"), plat::DROPEFFECT_NONE);
    EXPECT_TRUE(gLog.empty());
  }
  // The object is gone: the window no longer has a drop target.
  EXPECT_EQ(plat::DropTargetAt(hwnd), nullptr);
  plat::HeadlessDriver::Reset();
}

}  // namespace

namespace {

// A mouse task that records what the base class asks of it.
class Recorder : public ppMouseTask {
 public:
  explicit Recorder(ppView* view) : ppMouseTask(view, nullptr) {}
  void Track() override { gLog.push_back("track"); }
  void EraseFeedback(int32_t x, int32_t y) override {
    gLog.push_back("erase " + std::to_string(x) + "," + std::to_string(y));
  }
  void DrawFeedback(int32_t x, int32_t y) override {
    gLog.push_back("draw " + std::to_string(x) + "," + std::to_string(y));
  }
  void Click() override { gLog.push_back("click"); }
  void Do() override {
    gLog.push_back("do");
    ppMouseTask::Do();
  }
};

class MouseTaskTiming : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    gLog.clear();
    view_.SetFrame({0, 0, 100, 100});
  }
  void TearDown() override { plat::HeadlessDriver::Reset(); }
  ppView view_;
};

TEST_F(MouseTaskTiming, TheTwelfthTickEndsTheClickWindow) {
  plat::LayerClock::SetManual(10'000);
  auto* early = new Recorder(&view_);
  early->Start(10, 10);
  plat::LayerClock::SetManual(10'199);
  plat::POINT elsewhere{50, 50};
  early->MouseUp(&elsewhere);  // 11 ticks: still a click
  EXPECT_EQ(gLog.back(), "click");

  gLog.clear();
  plat::LayerClock::SetManual(10'000);
  ppUndoer history;
  auto* late = new Recorder(&view_);
  history.Post(late);
  late->Start(10, 10);
  plat::LayerClock::SetManual(10'200);
  late->MouseUp(&elsewhere);  // 12 ticks: a drag, done and kept
  EXPECT_EQ(gLog.back(), "do");
  EXPECT_EQ(history.DoneTop(), late);
}

TEST_F(MouseTaskTiming, AMoveToTheSamePointNeitherErasesNorTracks) {
  auto* task = new Recorder(&view_);
  task->Start(10, 10);
  gLog.clear();
  plat::POINT same{10, 10};
  task->Move(&same);
  EXPECT_TRUE(gLog.empty());
  plat::POINT next{12, 15};
  task->Move(&next);
  EXPECT_EQ(gLog, (std::vector<std::string>{"erase 10,10", "track", "draw 12,15"}));
  task->Finish();
}

}  // namespace
