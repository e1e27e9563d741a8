// The relay that passes unhandled commands along the key-target chain: a command that comes back
// round a circle of handlers with the same parameter ends there, one passed on with another
// parameter still arrives, and a circle that hides behind a fresh parameter every round ends at the
// relay's depth instead of exhausting the stack.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "framework/ppCommandRelay.h"
#include "framework/ppEventHandler.h"
#include "platform/HeadlessDriver.h"

namespace {

using Delivery = std::pair<int32_t, intptr_t>;  // (command, parameter)

// A handler that takes no command: it records each one and passes it on to its key target, with
// the parameter `rewrite` gives (unchanged without one).
class Passer : public ppEventHandler {
 public:
  std::vector<Delivery> heard;
  std::function<intptr_t(intptr_t)> rewrite;
  bool throwOnce = false;

  void DoCommand(int32_t command, intptr_t parameter) override {
    heard.emplace_back(command, parameter);
    if (throwOnce) {
      throwOnce = false;
      throw std::runtime_error("receiver failed");
    }
    if (!rewrite) {
      ppEventHandler::DoCommand(command, parameter);
    } else if (GetTarget() != nullptr) {
      ppCommandRelay::Pass(this, *GetTarget(), command, rewrite(parameter));
    }
  }
};

class CommandRelay : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    // A window passes to the canvas inside it, the canvas back up to the window: a circle.
    window_.SetTarget(&canvas_);
    canvas_.SetTarget(&window_);
  }
  void TearDown() override {
    window_.SetTarget(nullptr);
    canvas_.SetTarget(nullptr);
    plat::HeadlessDriver::Reset();
  }

  Passer window_, canvas_;
};

TEST_F(CommandRelay, ACommandComingBackWithTheSameParameterEndsAndTheNextOneStillTravels) {
  const int32_t before = ppCommandRelay::DroppedCount();
  window_.DoCommand(7, 1);
  // The window passes it down, the canvas passes it up (another handler passing the same command is
  // no circle yet), and the window's second pass is the one that came round: dropped there.
  EXPECT_EQ(canvas_.heard, (std::vector<Delivery>{{7, 1}}));
  EXPECT_EQ(window_.heard, (std::vector<Delivery>{{7, 1}, {7, 1}}));
  EXPECT_EQ(ppCommandRelay::DroppedCount(), before + 1);

  // Nothing of the ended circle stays under way: the same command later travels the same way, and
  // a receiver that fails does not leave its pass behind either.
  canvas_.throwOnce = true;
  EXPECT_THROW(window_.DoCommand(7, 1), std::runtime_error);
  window_.heard.clear();
  canvas_.heard.clear();
  window_.SetTarget(nullptr);
  Passer pane;
  canvas_.SetTarget(&pane);
  EXPECT_TRUE(ppCommandRelay::Pass(&window_, canvas_, 7, 1));
  EXPECT_EQ(pane.heard, (std::vector<Delivery>{{7, 1}}));
  EXPECT_EQ(ppCommandRelay::DroppedCount(), before + 1);
  canvas_.SetTarget(nullptr);
}

TEST_F(CommandRelay, TheSameCommandPassedOnWithAnotherParameterIsDelivered) {
  // The canvas turns parameter 1 into 2 (a pane answering for the element it holds); the window then
  // passes command 7 with 2 while its pass of 7 with 1 is still under way: that is a new command.
  canvas_.rewrite = [](intptr_t parameter) { return parameter == 1 ? intptr_t{2} : parameter; };
  const int32_t before = ppCommandRelay::DroppedCount();
  window_.DoCommand(7, 1);
  EXPECT_EQ(canvas_.heard, (std::vector<Delivery>{{7, 1}, {7, 2}}));
  EXPECT_EQ(window_.heard, (std::vector<Delivery>{{7, 1}, {7, 2}}));
  // Only the canvas's second pass of 7 with 2 came round, and only it was dropped.
  EXPECT_EQ(ppCommandRelay::DroppedCount(), before + 1);
}

TEST_F(CommandRelay, ACircleThatChangesItsParameterEveryRoundEndsAtTheRelaysDepth) {
  canvas_.rewrite = [](intptr_t parameter) { return parameter + 1; };
  const int32_t before = ppCommandRelay::DroppedCount();
  window_.DoCommand(7, 0);
  // Every pass is new, so passes nest until the relay's limit: the first delivery is the user's
  // own, then one per pass that was let through.
  const size_t delivered = window_.heard.size() + canvas_.heard.size() - 1;
  EXPECT_EQ(delivered, size_t(ppCommandRelay::kMaxDepth));
  EXPECT_EQ(ppCommandRelay::DroppedCount(), before + 1);
  EXPECT_EQ(canvas_.heard.back().second + 1, window_.heard.back().second);

  // Once the circle has unwound, a fresh command is passed as usual.
  canvas_.rewrite = nullptr;
  canvas_.heard.clear();
  canvas_.SetTarget(nullptr);
  EXPECT_TRUE(ppCommandRelay::Pass(&window_, canvas_, 9, 5));
  EXPECT_EQ(canvas_.heard, (std::vector<Delivery>{{9, 5}}));
}

}  // namespace
