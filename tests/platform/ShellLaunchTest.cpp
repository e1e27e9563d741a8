// Handing a document to the desktop when the desktop cannot open it: the user gets an error box that
// names the document and says why, over the window that asked, instead of silence. The opener is
// replaced by scripts on a test PATH (or left out of it), so nothing on this machine is opened.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

#include <cerrno>

#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/ShellLaunchFailure.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

class ShellLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ClearMessageBoxLog();
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    folder_ = fs::temp_directory_path() / ("shell-launch-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "bin");
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = "ShellOwner";
    RegisterClassA(&wc);
    owner_ = CreateWindowExA(0, "ShellOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                             nullptr, nullptr, nullptr, nullptr);
    SetShellLaunching(true);
  }
  void TearDown() override {
    SetShellLaunching(false);
    setenv("PATH", savedPath_.c_str(), 1);
    HeadlessDriver::Reset();
    ClearMessageBoxLog();
    fs::remove_all(folder_);
  }

  // An opener on the test PATH that notes the target it was given and ends with `code`.
  void OpenerEndingWith(int code) {
    const fs::path script = folder_ / "bin" / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\necho \"$1\" > '" << (folder_ / "given").string() << "'\nexit "
                          << code << "\n";
    fs::permissions(script, fs::perms::owner_all);
    setenv("PATH", (folder_ / "bin").string().c_str(), 1);
  }

  // Runs the queue until a box was shown or the opener has had two seconds; the boxes shown.
  std::vector<MessageBoxRecord> BoxesAfterTheOpenerEnds() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (MessageBoxLog().empty() && std::chrono::steady_clock::now() < until) {
      HeadlessDriver::RunUntilIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return MessageBoxLog();
  }

  std::string Given() {
    std::ifstream in(folder_ / "given");
    std::string line;
    std::getline(in, line);
    return line;
  }

  std::string savedPath_;
  fs::path folder_;
  HWND owner_ = nullptr;
};

TEST_F(ShellLaunch, AMissingOpenerIsReportedInABoxOverTheWindowThatAsked) {
  setenv("PATH", (folder_ / "bin").string().c_str(), 1);  // no xdg-open anywhere on it
  HINSTANCE result = ShellExecuteW(owner_, u"open", u"order.eml", nullptr, u"C:\\orders", SW_SHOWNORMAL);
  EXPECT_LE(reinterpret_cast<intptr_t>(result), 32);  // a failure, not the success value
  EXPECT_TRUE(MessageBoxLog().empty());               // shown by the user-interface loop
  HeadlessDriver::RunUntilIdle();
  const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            u"\"C:/orders/order.eml\" could not be opened: the desktop's opener xdg-open is "
            u"not installed.");
  EXPECT_EQ(boxes[0].caption, u"Could not open");
  EXPECT_EQ(boxes[0].style, MB_OK | MB_ICONERROR);
  EXPECT_EQ(boxes[0].owner, owner_);

  // Shown once: the loop does not find it again.
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(MessageBoxLog().size(), 1u);
}

TEST_F(ShellLaunch, AnOpenerThatFailsIsReportedWithItsReasonEvenAfterTheOwnerClosed) {
  OpenerEndingWith(3);  // the opener's code for "no program for this kind of document"
  HINSTANCE result = ShellExecuteA(owner_, "open", "/tmp/output.htm", nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_GT(reinterpret_cast<intptr_t>(result), 32);  // started: its failure comes later
  DestroyWindow(owner_);
  std::vector<MessageBoxRecord> boxes = BoxesAfterTheOpenerEnds();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            u"\"/tmp/output.htm\" could not be opened: no program that opens it is installed.");
  EXPECT_EQ(boxes[0].owner, nullptr);  // the window that asked is gone
  EXPECT_EQ(Given(), "/tmp/output.htm");

  // A link that the opener takes is not reported.
  ClearMessageBoxLog();
  OpenerEndingWith(0);
  ShellExecuteW(nullptr, u"open", u"mailto:orders@example.com", nullptr, nullptr, SW_SHOWNORMAL);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (Given() != "mailto:orders@example.com" && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Given(), "mailto:orders@example.com");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // time for the reaper to finish
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(ShellLaunch, EachWayTheOpenerEndsHasItsOwnReason) {
  EXPECT_EQ(ShellLaunchFailure::Reason(0, 2 << 8), u"the file does not exist");
  EXPECT_EQ(ShellLaunchFailure::Reason(0, 4 << 8), u"the program that should open it failed");
  EXPECT_EQ(ShellLaunchFailure::Reason(0, 9 << 8), u"the desktop's opener ended with code 9");
  EXPECT_EQ(ShellLaunchFailure::Reason(0, 9), u"the desktop's opener was stopped by signal 9");
  EXPECT_EQ(
      ShellLaunchFailure::Reason(EACCES, 0).rfind(u"the desktop's opener xdg-open could not be started (", 0),
      0u);
  EXPECT_TRUE(ShellLaunchFailure::Succeeded(0));
  EXPECT_FALSE(ShellLaunchFailure::Succeeded(9));

  // A failure posted before a desktop reset is forgotten with it: its message shows nothing later.
  ShellLaunchFailure::Post(nullptr, u"plan.pdf", u"the file does not exist");
  MSG posted{};
  ASSERT_TRUE(PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE));
  HeadlessDriver::Reset();
  DispatchMessageA(&posted);
  EXPECT_TRUE(MessageBoxLog().empty());
}

}  // namespace
}  // namespace plat
