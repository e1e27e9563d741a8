#include <gtest/gtest.h>

#include <vector>

#include "framework/ppCollaborator.h"
#include "framework/ppSwitchBoard.h"

namespace {

struct Delivery {
  const ppCollaborator* to;
  int32_t channel, id;
  intptr_t parameter;
  bool operator==(const Delivery&) const = default;
};
std::vector<Delivery> gDelivered;

class Listener : public ppCollaborator {
 public:
  using ppCollaborator::ppCollaborator;
  void ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t parameter) override {
    gDelivered.push_back({this, channel, id, parameter});
    if (onReceive) onReceive();
  }
  std::function<void()> onReceive;
};

class SwitchBoard : public ::testing::Test {
 protected:
  void SetUp() override {
    ppSwitchBoard::ResetNameTableForTests();
    gDelivered.clear();
  }
  ppSwitchBoard board_;
};

TEST_F(SwitchBoard, NamesGetIdsInOrderOfFirstRegistration) {
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("A", false), -1);
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("A", true), 10000);
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("B", true), 10001);
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("A", true), 10000);
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("C", false), -1);
  Listener l(&board_);
  l.SubscribeByNames("x|y|z");
  EXPECT_EQ(board_.SubscriptionCount(), 3);
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("z", false), 10004);
  l.SubscribeByNames("w");
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("w", false), 10005);
}

TEST_F(SwitchBoard, NewestSubscriptionFirstAndWildcardsOnBothSides) {
  Listener older(&board_), newer(&board_), everything(&board_), sender(&board_);
  older.Subscribe(10000, 10001);
  newer.Subscribe(10000, 10001);
  everything.Subscribe(10000, -1);
  sender.Broadcast(10000, 10001, 5);
  EXPECT_EQ(gDelivered,
            (std::vector<Delivery>{
                {&everything, 10000, 10001, 5}, {&newer, 10000, 10001, 5}, {&older, 10000, 10001, 5}}));
  gDelivered.clear();
  sender.Broadcast(10000, 10002, 6);
  EXPECT_EQ(gDelivered, (std::vector<Delivery>{{&everything, 10000, 10002, 6}}));
  gDelivered.clear();
  sender.Broadcast(-1, 10001, 7);  // any channel
  EXPECT_EQ(gDelivered.size(), 3u);
  gDelivered.clear();
  sender.Broadcast(1000, 10001, 8);  // another channel reaches nobody here
  EXPECT_TRUE(gDelivered.empty());
}

TEST_F(SwitchBoard, UnsubscribingRemovesOnlyThatSubscriberAndKeepsOrder) {
  Listener a(&board_), b(&board_), c(&board_);
  a.Subscribe(1, 1);
  b.Subscribe(1, 1);
  b.Subscribe(2, 2);
  c.Subscribe(1, 1);
  board_.Unsubscribe(&b, -1, -1);
  board_.Dispatch(nullptr, 1, 1, 0);
  EXPECT_EQ(gDelivered, (std::vector<Delivery>{{&c, 1, 1, 0}, {&a, 1, 1, 0}}));
}

TEST_F(SwitchBoard, ReceiversMayUnsubscribeOrDieDuringABroadcast) {
  Listener first(&board_), middle(&board_);
  auto* doomed = new Listener(&board_);
  first.Subscribe(1, 1);
  doomed->Subscribe(1, 1);
  middle.Subscribe(1, 1);  // told first: it destroys the one after it and unsubscribes itself
  middle.onReceive = [&] {
    delete doomed;
    doomed = nullptr;
    board_.Unsubscribe(&middle, -1, -1);
  };
  board_.Dispatch(nullptr, 1, 1, 9);
  EXPECT_EQ(gDelivered, (std::vector<Delivery>{{&middle, 1, 1, 9}, {&first, 1, 1, 9}}));
  EXPECT_EQ(board_.SubscriptionCount(), 1);
  gDelivered.clear();
  board_.Dispatch(nullptr, 1, 1, 10);
  EXPECT_EQ(gDelivered, (std::vector<Delivery>{{&first, 1, 1, 10}}));
}

TEST_F(SwitchBoard, DestroyedCollaboratorLeavesItsOwnAndTheGlobalBoard) {
  {
    Listener l(&board_);
    l.Subscribe(3, 3);
    l.Subscribe(3, 3, &ppSwitchBoard::Global());
    ppCollaborator copy(l);
    EXPECT_EQ(copy.Board(), &board_);
  }
  EXPECT_EQ(board_.SubscriptionCount(), 0);
  EXPECT_EQ(ppSwitchBoard::Global().SubscriptionCount(), 0);
  board_.Dispatch(nullptr, 3, 3, 0);
  EXPECT_TRUE(gDelivered.empty()) << "a destroyed collaborator was still told";
}

}  // namespace
