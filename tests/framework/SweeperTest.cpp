#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/NoMouseButtonPending.h"
#include "framework/ppSweeper.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

std::vector<std::string> gEvents;

class Recorder : public ppSweeper {
 public:
  Recorder(HWND window, std::string name) : ppSweeper(window), name_(std::move(name)) {}
  void Sweep() override { gEvents.push_back(name_); }

 private:
  std::string name_;
};

// Posts a further sweeper while it runs.
class Chainer : public ppSweeper {
 public:
  explicit Chainer(HWND window) : ppSweeper(window), window_(window) {}
  void Sweep() override {
    gEvents.push_back("chainer");
    new Recorder(window_, "chained");
  }

 private:
  HWND window_;
};

LRESULT ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ppSweeper::kMessage) {
    ppSweeper::RunAndDelete(lParam);
    return 0;
  }
  if (message == WM_USER) {
    gEvents.push_back("handler start");
    new Recorder(window, "first");
    new Recorder(window, "second");
    gEvents.push_back(AnySweeperPending() ? "handler end, pending" : "handler end");
    return 0;
  }
  if (message == WM_USER + 1) {
    gEvents.push_back("user+1");
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class Sweepers : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gEvents.clear();
    WNDCLASSA wc;
    wc.lpfnWndProc = ReceiverProc;
    wc.lpszClassName = "Receiver";
    RegisterClassA(&wc);
    window_ =
        CreateWindowExA(0, "Receiver", "", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    HeadlessDriver::RunUntilIdle();
    HeadlessDriver::Reset();
    EXPECT_EQ(ppSweeper::PendingCount(), 0);
  }
  HWND window_ = nullptr;
};

TEST_F(Sweepers, RunAfterTheHandlerThatPostedThemInPostingOrder) {
  PostMessageA(window_, WM_USER, 0, 0);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"handler start", "handler end, pending", "first", "second"}));
  EXPECT_FALSE(AnySweeperPending());
}

TEST_F(Sweepers, OnePostedByASweeperRunsAfterMessagesAlreadyQueued) {
  new Chainer(window_);
  PostMessageA(window_, WM_USER + 1, 0, 0);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"chainer", "user+1", "chained"}));
}

TEST_F(Sweepers, ThoseOfAVanishedWindowAreDeletedUnrun) {
  new Recorder(window_, "queued before the end");
  DestroyWindow(window_);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
  new Recorder(window_, "posted after the end");  // the post fails: deleted by the loop, never run
  EXPECT_TRUE(AnySweeperPending());
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
  EXPECT_TRUE(gEvents.empty());
}

TEST_F(Sweepers, NoMouseButtonPendingSeesQueuedButtonsAndLeavesThem) {
  EXPECT_TRUE(NoMouseButtonPending());
  Desktop::MouseButton(VK_LBUTTON, true, {10, 10});
  EXPECT_FALSE(NoMouseButtonPending());
  EXPECT_FALSE(NoMouseButtonPending());
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(NoMouseButtonPending());
}

}  // namespace
