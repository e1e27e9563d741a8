#include <gtest/gtest.h>

#include <vector>

#include "framework/ppEventHandler.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

class Handler : public ppEventHandler {
 public:
  bool resign = true;
  bool become = true;
  int becomeAsked = 0;
  std::vector<int32_t> commands;
  bool ResignTarget() override { return resign; }
  bool BecomeTarget() override {
    ++becomeAsked;
    return become;
  }
  void DoCommand(int32_t command, intptr_t parameter) override {
    commands.push_back(command);
    ppEventHandler::DoCommand(command, parameter);
  }
};

TEST(EventHandler, TargetChangeRespectsRefusals) {
  Handler owner, current, next;
  owner.SetTarget(&current);
  EXPECT_EQ(owner.GetTarget(), &current);

  current.resign = false;
  owner.SetTarget(&next);
  EXPECT_EQ(owner.GetTarget(), &current);
  EXPECT_EQ(next.becomeAsked, 0);  // never asked when the current target stays

  current.resign = true;
  next.become = false;
  owner.SetTarget(&next);
  EXPECT_EQ(owner.GetTarget(), nullptr);  // the old one resigned; the new one refused

  owner.SetTarget(&current);
  owner.SetTarget(nullptr);
  EXPECT_EQ(owner.GetTarget(), nullptr);
}

TEST(EventHandler, CommandsAndKeysTravelDownTheTargetChain) {
  Handler top, middle, bottom;
  top.SetTarget(&middle);
  middle.SetTarget(&bottom);
  top.DoCommand(20, 0);
  EXPECT_EQ(bottom.commands, std::vector<int32_t>{20});
  bottom.DoCommand(21, 0);  // no target: dropped silently
  EXPECT_EQ(bottom.GetTypeCode(), 0x3F3F3F3Fu);
  EXPECT_FALSE(top.MouseOver(1, 2, 0));
}

TEST(EventHandler, RunReturnsTheCodeOfTheQuitThatEndsIt) {
  plat::HeadlessDriver::Reset();
  plat::PostQuitMessage(42);
  Handler h;
  EXPECT_EQ(h.Run(), 42);
  plat::HeadlessDriver::Reset();
}

TEST(EventHandler, ModifierKeysFollowTheKeyboard) {
  plat::HeadlessDriver::Reset();
  EXPECT_FALSE(ppEventHandler::IsControlKeyDown());
  plat::Desktop::Key(plat::VK_CONTROL, true);
  plat::Desktop::Key(plat::VK_SHIFT, true);
  EXPECT_TRUE(ppEventHandler::IsControlKeyDown());
  EXPECT_TRUE(ppEventHandler::IsShiftKeyDown());
  EXPECT_FALSE(ppEventHandler::IsAltKeyDown());
  plat::HeadlessDriver::Reset();
}

}  // namespace
