// Commands in the started program, on a copy of the demo settings: each view is reachable from every
// other by its key, and every command the frame's menu, the keys and the panes produce comes back in
// every view of the document window (none goes round the chain of views, window and application for
// ever). A step that does not come back ends the test binary with the view and command it was on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproWindow.h"
#include "framework/ppCommandRelay.h"
#include "foundation/FileDialogs.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/UserPreferences.h"
#include "platform/HeadlessDriver.h"
#include "platform/Menu.h"
#include "platform/ScreenMetrics.h"
#include "platform/UserLanguage.h"
#include "platform/WindowApi.h"
#include "StartedProgram.h"

namespace {

namespace fs = std::filesystem;

// Room design, colours, 3D, price list: the views of the view bar's buttons, with their keys' commands.
struct View {
  int32_t id, command;
};
constexpr View kViews[] = {{zelvproViewBar::kRoomDesignView, zelvproViewBar::kRoomDesignCommand},
                           {zelvproViewBar::kTopColourView, zelvproViewBar::kTopColourCommand},
                           {zelvproViewBar::k3DView, zelvproViewBar::k3DCommand},
                           {zelvproViewBar::kItemListView, zelvproViewBar::kItemListCommand}};

// Ends the test binary when a step does not come back within the deadline: a command that circles
// without a call deeper may spin rather than overflow the stack.
class StepDeadline {
 public:
  StepDeadline() {
    watcher_ = std::thread([this] {
      while (!stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::lock_guard<std::mutex> lock(mutex_);
        if (std::chrono::steady_clock::now() - started_ > kDeadline) {
          std::fprintf(stderr, "%s did not come back within %lld s\n", step_.c_str(),
                       static_cast<long long>(kDeadline.count()));
          std::abort();
        }
      }
    });
  }
  ~StepDeadline() {
    stop_ = true;
    watcher_.join();
  }
  void Begin(std::string step) {
    const std::lock_guard<std::mutex> lock(mutex_);
    step_ = std::move(step);
    started_ = std::chrono::steady_clock::now();
  }

 private:
  static constexpr std::chrono::seconds kDeadline{30};  // a print of the 3D view under the sanitizers
  std::mutex mutex_;
  std::string step_ = "the start";
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::atomic<bool> stop_{false};
  std::thread watcher_;
};

class CommandChainTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    documentCommands_ = &document_;
  }
  iDocumentCommands document_;
};

void CollectMenuCommands(plat::HMENU menu, std::set<int32_t>& commands) {
  for (int32_t i = 0; i < plat::GetMenuItemCount(menu); ++i) {
    if (plat::HMENU sub = plat::GetSubMenu(menu, i)) {
      CollectMenuCommands(sub, commands);
    } else if (const plat::UINT id = plat::GetMenuItemID(menu, i); id != 0 && id != 0xFFFFFFFF) {
      commands.insert(int16_t(id));
    }
  }
}

TEST_F(CommandChainTest, EveryViewIsReachedFromEveryOtherByItsKey) {
  StepDeadline deadline;
  Start();
  for (const View& from : kViews) {
    for (const View& to : kViews) {
      const std::string step = std::to_string(to.command) + " in view " + std::to_string(from.id);
      SCOPED_TRACE(step);
      deadline.Begin(step);
      Send(from.command);
      ASSERT_EQ(CurrentView(), from.id);
      Send(to.command);
      EXPECT_EQ(CurrentView(), to.id);
    }
  }
  // Each reached the view bar straight, none by going round the chain until it was dropped.
  EXPECT_EQ(ppCommandRelay::DroppedCount(), 0);
}

TEST_F(CommandChainTest, EveryCommandOfTheMenusKeysAndPanesComesBackInEveryView) {
  StepDeadline deadline;
  zelvProApp& app = Start();
  std::set<int32_t> commands;
  CollectMenuCommands(plat::GetMenu(app.Frame()), commands);
  ASSERT_GE(commands.size(), 20u);
  for (const plat::ACCEL& key : app.Accelerators()->Entries()) commands.insert(int16_t(key.cmd));
  // What the panes hand on: the 3D pane's view commands, the turn buttons, the 3D canvas's and the
  // view bar's own, the document window's table.
  for (int32_t command :
       {3002, 3004, 3007, 3008, 3013, 3022, 3024, 3033, 3044, 3048, 3049, 3052, 3056, 3058, 3061,
        3070, 3071, 3072, 3073, 3074, 3075, 3076, 3083, 4003, 4004, 4005, 4006, 4007, 4008, 4009,
        4020, 4030, 203,  204,  304,  2500, -16,  -17,  -18,  -21,  -22,  -23,  -31,  -32})
    commands.insert(command);
  // Quit is the one command that ends what is under test; the frame lock turns it into New.
  if (!ppWindow::FrameLocked()) commands.erase(ppApplication::kQuitCommand);
  for (const View& view : kViews) {
    for (int32_t command : commands) {
      const std::string step = std::to_string(command) + " in view " + std::to_string(view.id);
      SCOPED_TRACE(step);
      deadline.Begin(step);
      Send(view.command);
      ASSERT_EQ(CurrentView(), view.id);
      Send(command);
      ASSERT_NE(app.DocumentWindow(), nullptr);
      ASSERT_TRUE(plat::IsWindow(app.Frame()));
    }
  }
}

}  // namespace
