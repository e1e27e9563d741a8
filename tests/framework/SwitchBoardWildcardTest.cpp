// Subscriptions that name no channel hear every channel, the named channel included.
#include <gtest/gtest.h>

#include <vector>

#include "framework/ppCollaborator.h"
#include "framework/ppSwitchBoard.h"

namespace {

class Ear : public ppCollaborator {
 public:
  using ppCollaborator::ppCollaborator;
  void ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t) override {
    heard.push_back({channel, id});
  }
  std::vector<std::pair<int32_t, int32_t>> heard;
};

TEST(SwitchBoardWildcards, AnyChannelSubscriptionsHearNamedBroadcasts) {
  ppSwitchBoard::ResetNameTableForTests();
  ppSwitchBoard board;
  const int32_t update = ppSwitchBoard::MessageIdByName("UpdateCalculation", true);
  const int32_t other = ppSwitchBoard::MessageIdByName("Other", true);
  const int32_t named = ppSwitchBoard::kNamedChannel;
  struct Case {
    const char* what;
    int32_t channel, id;  // the subscription
    bool hearsUpdate;     // a broadcast of "UpdateCalculation" on the named channel
  } cases[] = {{"every channel, every id", -1, -1, true},
               {"every channel, that name", -1, update, true},
               {"every channel, another name", -1, other, false},
               {"the named channel, every id", named, -1, true},
               {"another channel, every id", 3, -1, false}};
  for (const Case& c : cases) {
    Ear ear(&board), sender(&board);
    ear.Subscribe(c.channel, c.id);
    sender.Broadcast(named, update, 0);
    std::vector<std::pair<int32_t, int32_t>> expected;
    if (c.hearsUpdate) expected.push_back({named, update});
    EXPECT_EQ(ear.heard, expected) << c.what;
  }
  EXPECT_EQ(board.SubscriptionCount(), 0) << "each ear left the board with its destruction";
}

}  // namespace
