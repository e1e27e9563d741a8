// The autosave thread stepped by hand: a waiter that the test lets go one wait at a time, so that
// each step is one pass of the thread and the test sees what it posted without sleeping. Also the
// stop, whatever the state word says, and the deletion of the autosave file.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "CatalogueTestSupport.h"
#include "WaitWithDeadline.h"
#include "catalogue/records/AutoSaveThread.h"
#include "catalogue/records/iAutoSaveWaiter.h"
#include "catalogue/records/zelvproDocFil.h"
#include "framework/ppMouseTask.h"
#include "framework/ppSweeper.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

class SteppedWaiter : public iAutoSaveWaiter {
 public:
  bool Wait(ppThread&, uint32_t milliseconds) override {
    std::unique_lock<std::mutex> lock(mutex_);
    asked_.push_back(milliseconds);
    changed_.notify_all();
    changed_.wait(lock, [this] { return steps_ > 0 || woken_; });
    if (woken_) return false;
    --steps_;
    return true;
  }
  void Wake() override {
    std::lock_guard<std::mutex> guard(mutex_);
    woken_ = true;
    changed_.notify_all();
  }

  // The length of the thread's first wait, once it waits.
  uint32_t FirstWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitFor(
        lock, [this] { return !asked_.empty(); }, "the autosave thread's first wait");
    return asked_.back();
  }
  // Ends the thread's current wait and answers the length of its next one, once it waits again:
  // everything the pass between did is done by then.
  uint32_t Step() {
    std::unique_lock<std::mutex> lock(mutex_);
    const size_t before = asked_.size();
    ++steps_;
    changed_.notify_all();
    WaitFor(
        lock, [this, before] { return asked_.size() > before; }, "one pass of the autosave thread");
    return asked_.back();
  }

 private:
  template <class Done>
  void WaitFor(std::unique_lock<std::mutex>& lock, Done done, const char* what) {
    if (!changed_.wait_for(lock, testwait::kDeadline, done)) testwait::EndTests(what, testwait::kDeadline);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint32_t> asked_;
  int32_t steps_ = 0;
  bool woken_ = false;
};

constexpr uint32_t kMinute = 60000;

class AutoSaveThreadTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    HeadlessDriver::Reset();
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "AutoSaveTestWindow";
    RegisterClassA(&wc);
    frame_ = CreateWindowExA(0, "AutoSaveTestWindow", "", WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                             nullptr, nullptr);
    other_ = CreateWindowExA(0, "AutoSaveTestWindow", "", WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                             nullptr, nullptr);
    document_ =
        std::make_unique<ppWindow>(CreateWindowExA(0, "AutoSaveTestWindow", "", WS_CHILD | WS_VISIBLE, 0, 0,
                                                   400, 300, frame_, nullptr, nullptr, nullptr));
    HeadlessDriver::RunUntilIdle();
    SetForegroundWindow(frame_);
    Preferences().autosaveEnabled = 1;
    Preferences().autosaveMinutes = 1;
    db_ = Open();
    doc_ = std::make_unique<zelvproDocFil>(*db_);
  }
  void TearDown() override {
    doc_.reset();  // stops the thread
    db_.reset();
    SaveInProgress = false;
    document_.reset();
    HeadlessDriver::Reset();
    CatalogueTest::TearDown();
  }

  // Takes the autosave commands queued for the document window; sweepers met on the way run.
  int32_t TakeAutoSaveCommands() {
    int32_t commands = 0;
    MSG msg;
    while (PeekMessageA(&msg, document_->GetHWND(), 0, 0, PM_REMOVE)) {
      if (msg.message == ppSweeper::kMessage) {
        ppSweeper::RunAndDelete(msg.lParam);
      } else if (msg.message == WM_COMMAND) {
        EXPECT_EQ(msg.wParam, WPARAM(AutoSaveThread::kAutoSaveCommand));
        EXPECT_EQ(msg.lParam, 0);
        ++commands;
      }
    }
    return commands;
  }

  HWND frame_ = nullptr, other_ = nullptr;
  std::unique_ptr<ppWindow> document_;
  std::unique_ptr<zelvDatabase> db_;
  std::unique_ptr<zelvproDocFil> doc_;
  SteppedWaiter waiter_;
};

TEST_F(AutoSaveThreadTest, PostsOnlyWhenTheFrameIsInFrontAndNothingElseRuns) {
  Preferences().autosaveMinutes = 0;  // counts as one minute
  doc_->StartAutoSaveThread(*document_, frame_, &waiter_);
  EXPECT_EQ(AutoSaveState.load(), AutoSaveThread::kStateRunning);
  ASSERT_EQ(waiter_.FirstWait(), kMinute);
  EXPECT_EQ(waiter_.Step(), kMinute);
  EXPECT_EQ(TakeAutoSaveCommands(), 1);

  // Conditions that let the pass end without a post.
  const struct {
    const char* what;
    std::function<void()> set, clear;
  } kQuiet[] = {
      {"another window in front", [&] { SetForegroundWindow(other_); }, [&] { SetForegroundWindow(frame_); }},
      {"a save running", [] { SaveInProgress = true; }, [] { SaveInProgress = false; }},
      {"autosave off", [] { Preferences().autosaveEnabled = 0; }, [] { Preferences().autosaveEnabled = 1; }},
  };
  for (const auto& c : kQuiet) {
    c.set();
    EXPECT_EQ(waiter_.Step(), kMinute) << c.what;
    EXPECT_EQ(TakeAutoSaveCommands(), 0) << c.what;
    c.clear();
    EXPECT_EQ(waiter_.Step(), kMinute) << c.what;
    EXPECT_EQ(TakeAutoSaveCommands(), 1) << c.what;
  }

  // Conditions the thread waits out in steps of a second, and then posts.
  ppMouseTask task(document_.get(), nullptr);
  const struct {
    const char* what;
    std::function<void()> set, clear;
  } kBusy[] = {
      {"a mouse task", [&] { document_->CaptureMouse(&task); }, [&] { document_->CaptureMouse(nullptr); }},
      {"a sweeper pending", [&] { new ppSweeper(document_->GetHWND()); }, [&] { TakeAutoSaveCommands(); }},
  };
  for (const auto& c : kBusy) {
    c.set();
    EXPECT_EQ(waiter_.Step(), AutoSaveThread::kIdleStep) << c.what;
    EXPECT_EQ(waiter_.Step(), AutoSaveThread::kIdleStep) << c.what;
    EXPECT_EQ(TakeAutoSaveCommands(), 0) << c.what;
    c.clear();
    EXPECT_EQ(waiter_.Step(), kMinute) << c.what;
    EXPECT_EQ(TakeAutoSaveCommands(), 1) << c.what;
  }
}

TEST_F(AutoSaveThreadTest, StopEndsTheThreadWhateverTheStateWordSays) {
  for (int32_t state :
       {AutoSaveThread::kStateRunning, AutoSaveThread::kStateNone, AutoSaveThread::kStateStopping}) {
    SteppedWaiter waiter;
    doc_->StartAutoSaveThread(*document_, frame_, &waiter);
    waiter.FirstWait();
    AutoSaveState = state;
    doc_->StopAutoSaveThread();  // returns only once the thread object is gone
    EXPECT_EQ(AutoSaveState.load(), AutoSaveThread::kStateNone) << state;
    EXPECT_EQ(TakeAutoSaveCommands(), 0) << state;
  }
  // The thread's own sleep is cut short by the stop as well.
  doc_->StartAutoSaveThread(*document_, frame_);
  testwait::RunOnOtherThread([&] { doc_->StopAutoSaveThread(); }, "stopping a sleeping autosave thread");
  EXPECT_EQ(AutoSaveState.load(), AutoSaveThread::kStateNone);
}

TEST_F(AutoSaveThreadTest, DeletingTheAutoSaveFileNeverComplains) {
  dbtest::TempFolder folder;
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path(""));
  EXPECT_NO_THROW(doc_->DeleteAutoSaveFile());  // no settings folder
  std::filesystem::create_directories(folder.Path("settings"));
  EXPECT_NO_THROW(doc_->DeleteAutoSaveFile());  // no autosave in it
  std::ofstream(folder.Path("settings/AutoSave.qxf")) << "packed";
  doc_->DeleteAutoSaveFile();
  EXPECT_FALSE(std::filesystem::exists(folder.Path("settings/AutoSave.qxf")));
  // Names are found in any letter case, as every file of the settings folder is.
  std::ofstream(folder.Path("settings/autosave.QXF")) << "packed";
  doc_->DeleteAutoSaveFile();
  EXPECT_FALSE(std::filesystem::exists(folder.Path("settings/autosave.QXF")));
  // One that is there but cannot go stays, and no one is told.
  std::filesystem::create_directories(folder.Path("settings/AutoSave.qxf/inside"));
  EXPECT_NO_THROW(doc_->DeleteAutoSaveFile());
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path("settings/AutoSave.qxf/inside")));
  std::filesystem::current_path(saved);
}

}  // namespace
