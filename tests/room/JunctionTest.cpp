// Corners of the room outline: the segment list, the neighbour searches, crossings, the running ids,
// and the links a junction and its segments keep of each other when either goes.
#include <gtest/gtest.h>

#include "room/RoomTestSupport.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

class JunctionTest : public RoomTest {};

TEST_F(JunctionTest, BothNeighbourSearchesAtACornerGiveTheOtherSegment) {
  qxRoomSegment* a = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  qxRoomSegment* b = MakeSegment(V(1000, 0, 0), V(1000, 0, 1000));
  // The corner is the end of one segment and the start of the other, whichever was linked first.
  auto corner = MakeJunction(V(1000, 0, 0), {a, b});
  EXPECT_EQ(corner->NeighbourWithLargestAngle(a, a->Start()), b);
  EXPECT_EQ(corner->NeighbourWithSmallestAngle(a, a->Start()), b);
  EXPECT_EQ(corner->NeighbourWithLargestAngle(b, b->End()), a);
  EXPECT_EQ(corner->NeighbourWithSmallestAngle(b, b->End()), a);
  // A lone end has no neighbour.
  auto lone = MakeJunction(V(0, 0, 0), {a});
  EXPECT_EQ(lone->NeighbourWithLargestAngle(a, a->End()), nullptr);
  EXPECT_EQ(lone->NeighbourWithSmallestAngle(a, a->End()), nullptr);
}

TEST_F(JunctionTest, AThroughWallOffersBothDirections) {
  // A T: c ends on the middle of the through wall t; from c the two halves of t lie either side.
  qxRoomSegment* t = MakeSegment(V(0, 0, 0), V(2000, 0, 0));
  qxRoomSegment* c = MakeSegment(V(1000, 0, 0), V(1000, 0, 1000));
  auto tee = MakeJunction(V(1000, 0, 0), {t, c});
  EXPECT_EQ(tee->NeighbourWithLargestAngle(c, c->End()), t);
  EXPECT_EQ(tee->NeighbourWithSmallestAngle(c, c->End()), t);
}

TEST_F(JunctionTest, SegmentListKeepsOneLinkPerSegmentAndLosesTheHeadCleanly) {
  qxRoomSegment* a = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  qxRoomSegment* b = MakeSegment(V(1000, 0, 0), V(1000, 0, 1000));
  auto j = MakeJunction(V(1000, 0, 0), {a, b});
  j->AddSegment(a, true);
  EXPECT_EQ(j->GetLinkCount(), 2);
  EXPECT_EQ(JunctionsOf(*a).size(), 1u);

  // b was linked last, so it is the head; removing it makes a the head and b forgets the corner.
  ASSERT_EQ(j->GetFirstLink()->GetSegment(), b);
  j->RemoveSegment(b);
  EXPECT_EQ(j->GetFirstLink()->GetSegment(), a);
  EXPECT_EQ(j->GetFirstLink()->GetNext(), nullptr);
  EXPECT_EQ(j->GetLinkCount(), 1);
  EXPECT_TRUE(JunctionsOf(*b).empty());
  j->RemoveSegment(b);  // not linked: nothing
  EXPECT_EQ(j->GetLinkCount(), 1);

  // A junction that goes leaves no pointer behind in its segments, and a segment that goes leaves
  // none in its junctions.
  j.reset();
  EXPECT_TRUE(JunctionsOf(*a).empty());
  auto k = MakeJunction(V(0, 0, 0), {a, b});
  delete b;
  EXPECT_EQ(k->GetLinkCount(), 1);
  EXPECT_EQ(k->GetFirstLink()->GetSegment(), a);
}

TEST_F(JunctionTest, FindCrossingGivesTheSharedEndOfCollinearSegmentsAndCrossingPoints) {
  qxRoomSegment* a = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  qxRoomSegment* next = MakeSegment(V(1000, 0, 0), V(2000, 0, 0));
  qxRoomSegment* across = MakeSegment(V(500, 0, -500), V(500, 0, 500));
  qxRoomSegment* apart = MakeSegment(V(3000, 0, 0), V(4000, 0, 0));
  auto j = MakeJunction(V(0, 0, 0), {a});
  V p;
  qxJunctionLink* found = j->FindCrossing(next, p, nullptr);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->GetSegment(), a);
  EXPECT_EQ(p, V(1000, 0, 0));
  ASSERT_NE(j->FindCrossing(across, p, nullptr), nullptr);
  EXPECT_EQ(p, V(500, 0, 0));
  EXPECT_EQ(j->FindCrossing(apart, p, nullptr), nullptr);
  EXPECT_EQ(j->FindCrossing(a, p, nullptr), nullptr) << "a segment never crosses itself";
  EXPECT_EQ(j->FindCrossing(next, p, found), nullptr) << "the search goes on behind `after`";
}

TEST_F(JunctionTest, RunningIdsAndNoHits) {
  qxJunction first(nullptr);
  qxJunction second(nullptr);
  EXPECT_EQ(second.GetId(), first.GetId() + 1);
  EXPECT_EQ(host_.palette->NextId(), int32_t(second.GetId()) + 1);
  first.SetPosition(V(100, 0, 100));
  EXPECT_FALSE(first.HitTest(100, 100, nullptr));
  EXPECT_FALSE(first.HitTest(0, 0, nullptr));
}

TEST_F(JunctionTest, DeletingTheHeadOfAChainFreesEveryJunction) {
  qxRoomSegment* a = MakeSegment(V(0, 0, 0), V(1000, 0, 0));
  auto* last = new qxJunction(nullptr);
  last->AddSegment(a, true);
  auto* head = new qxJunction(last);
  head->AddSegment(a, true);
  EXPECT_EQ(JunctionsOf(*a).size(), 2u);
  delete head;  // LeakSanitizer sees a junction left behind
  EXPECT_TRUE(JunctionsOf(*a).empty());
}

}  // namespace
