// The pending deletions: views retired inside their own call are deleted newest first, also those
// handed over while the list is emptied, and the application's loop empties the list after every
// message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ppApplication.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppView.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

std::vector<std::string> gDeleted;

// Logs its deletion; may hand another view over while it goes.
class Logged : public ppView {
 public:
  explicit Logged(std::string name, ppView* handsOver = nullptr)
      : name_(std::move(name)), handsOver_(handsOver) {}
  ~Logged() override {
    gDeleted.push_back(name_);
    if (handsOver_ != nullptr) ppPendingDeletions::Add(handsOver_);
  }

 private:
  std::string name_;
  ppView* handsOver_;
};

class PendingDeletions : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gDeleted.clear();
  }
  void TearDown() override { HeadlessDriver::Reset(); }
};

TEST_F(PendingDeletions, TheNewestGoesFirstAndLateComersGoToo) {
  auto* late = new Logged("late");
  auto* first = new Logged("first", late);
  auto* second = new Logged("second");
  ppPendingDeletions::Add(first);
  ppPendingDeletions::Add(second);
  ppPendingDeletions::Add(second);
  ppPendingDeletions::Add(nullptr);
  EXPECT_EQ(ppPendingDeletions::Count(), 2u);
  EXPECT_TRUE(ppPendingDeletions::Holds(first));
  ppPendingDeletions::DeleteAll();
  EXPECT_EQ(gDeleted, (std::vector<std::string>{"second", "first", "late"}));
  EXPECT_EQ(ppPendingDeletions::Count(), 0u);

  auto* taken = new Logged("taken");
  ppPendingDeletions::Add(taken);
  EXPECT_TRUE(ppPendingDeletions::Take(taken));
  EXPECT_FALSE(ppPendingDeletions::Take(taken));
  ppPendingDeletions::DeleteAll();
  EXPECT_EQ(gDeleted.size(), 3u) << "a view taken back is the caller's again";
  delete taken;
}

// Retires a view at command 600 and notes at command 601 whether it is gone.
class RetiringApp : public ppApplication {
 public:
  RetiringApp() : ppApplication(nullptr, nullptr) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    if (command == 600) ppPendingDeletions::Add(new Logged("retired"));
    if (command == 601) goneBeforeNextMessage = gDeleted.size() == 1;
    ppApplication::DoCommand(command, parameter);
  }
  bool goneBeforeNextMessage = false;
};

TEST_F(PendingDeletions, TheApplicationsLoopEmptiesTheListAfterEveryMessage) {
  RetiringApp app;
  app.Startup();
  HeadlessDriver::RunUntilIdle();
  PostMessageA(app.Frame(), WM_COMMAND, 600, 0);
  PostMessageA(app.Frame(), WM_COMMAND, 601, 0);
  PostQuitMessage(0);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_TRUE(app.goneBeforeNextMessage);
  EXPECT_EQ(ppPendingDeletions::Count(), 0u);
}

}  // namespace
