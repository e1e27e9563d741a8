// Groups: one piece for hits and frames, dissolving on the first placement only with flag 0x100,
// and then leaving every child where it stood in the plan.
#include <gtest/gtest.h>

#include <cmath>

#include "elements/base/DeletionList.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/units/GroupsTestSupport.h"
#include "elements/units/zelvproTopGroupElement.h"
#include "framework/ppPendingDeletions.h"

namespace {

using eltest::Join;
using eltest::SubItemEntry;

class GroupTest : public unittest::SweepingUnitsTest {
 protected:
  // A group of two 100 by 100 mm children at x 0 and x 300, turned by 0.5 and 0 radians.
  zelvproTopGroupElement* MakeGroup(uint32_t flags, bool withChildren = true) {
    const int32_t child = BoxRecord(0, 100, 100);
    const int32_t group = AddTopView(*db_, {{"Type", 1}, {"flags", int32_t(flags)}});
    if (withChildren) {
      zelvproTopViewFil& topViews = db_->TopViewFile();
      topViews.ReadRecord(group, nullptr);
      cattest::SetWords(topViews, "subItems",
                        Join({SubItemEntry(child, 0, 0, 0, 0, 0.5f), SubItemEntry(child, 0, 300, 0, 0, 0)}));
      topViews.WriteRecord(group, nullptr);
    }
    auto* made = dynamic_cast<zelvproTopGroupElement*>(Make(*db_, group, canvas_.get()));
    EXPECT_NE(made, nullptr);
    return made;
  }
  static zelvproElement* Child(ppView& view, int32_t i) {
    return static_cast<zelvproElement*>(view.Subviews().At(i));
  }
};

TEST_F(GroupTest, WithoutTheFlagMovesAndDropsKeepTheChildren) {
  zelvproTopGroupElement* group = MakeGroup(0);
  for (int32_t i = 0; i < 3; ++i) {
    group->AfterMove();
    group->AfterPlace();
  }
  EXPECT_EQ(group->Subviews().Count(), 2);
  EXPECT_EQ(group->GetSupervisor(), canvas_.get());
  EXPECT_EQ(DeletionList::Count(), 0u);
}

TEST_F(GroupTest, DissolvedAtAQuarterTurnChildrenKeepTheirPlanPlaces) {
  zelvproTopGroupElement* group = MakeGroup(zelvproTopGroupElement::kDissolvesOnPlacement);
  group->SetPosition(ppVector3(1000, 50, 500));
  group->StoreAngle(float(M_PI / 2));
  zelvproElement* children[] = {Child(*group, 0), Child(*group, 1)};
  ppVector3 before[2];
  float angles[2];
  for (int32_t i = 0; i < 2; ++i) {
    children[i]->GetAbsolutePosition(before[i]);
    angles[i] = children[i]->GetAbsoluteAngle();
  }
  group->AfterPlace();

  EXPECT_EQ(group->Subviews().Count(), 0);
  EXPECT_EQ(group->GetSupervisor(), nullptr);
  EXPECT_TRUE(DeletionList::Holds(group));
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_EQ(children[i]->GetSupervisor(), canvas_.get());
    ppVector3 after;
    children[i]->GetAbsolutePosition(after);
    EXPECT_NEAR(after.x, before[i].x, 0.01f) << i;
    EXPECT_NEAR(after.y, before[i].y, 0.01f) << i;
    EXPECT_NEAR(after.z, before[i].z, 0.01f) << i;
    EXPECT_NEAR(children[i]->GetAbsoluteAngle(), angles[i], 1e-5f) << i;
    children[i]->pendingUpdate = 0;
  }
  // The second re-snap waits for the queued messages.
  EXPECT_FALSE(qxAssignEnumNumbers::Scheduled());
  plat::HeadlessDriver::RunUntilIdle();
  for (zelvproElement* child : children) EXPECT_EQ(child->pendingUpdate, 1);
  DeletionList::DeleteAll();
}

TEST_F(GroupTest, AnEmptyGroupHasNoFrameAndDissolvesIntoNothing) {
  zelvproTopGroupElement* group = MakeGroup(zelvproTopGroupElement::kDissolvesOnPlacement, false);
  EXPECT_TRUE(group->GetFrameRegion()->IsEmpty());
  EXPECT_TRUE(group->NewFrameRegion()->IsEmpty());
  group->AfterMove();
  EXPECT_EQ(canvas_->Subviews().Count(), 0);
  EXPECT_TRUE(DeletionList::Holds(group));
  // One list with the framework's pending deletions, which the application empties after each message.
  EXPECT_TRUE(ppPendingDeletions::Holds(group));
  ppPendingDeletions::DeleteAll();
  EXPECT_EQ(DeletionList::Count(), 0u);
}

TEST_F(GroupTest, WithoutAContainerTheGroupKeepsItsChildren) {
  zelvproTopGroupElement* group = MakeGroup(zelvproTopGroupElement::kDissolvesOnPlacement);
  group->DetachFromSupervisor();
  group->AfterPlace();
  EXPECT_EQ(group->Subviews().Count(), 2);
  EXPECT_FALSE(DeletionList::Holds(group));
  delete group;
}

TEST_F(GroupTest, AClickOnAnyChildHitsTheGroupAndOneOutsideEveryChildMisses) {
  zelvproTopGroupElement* group = MakeGroup(0);
  plat::RECT first{}, second{};
  Child(*group, 0)->NewFrameRegion()->GetBounds(&first);
  Child(*group, 1)->NewFrameRegion()->GetBounds(&second);
  ASSERT_LT(first.right, second.left);
  plat::RECT all{};
  group->GetFrameRegion()->GetBounds(&all);
  EXPECT_EQ(all.left, first.left);
  EXPECT_EQ(all.right, second.right);
  const int32_t y = (second.top + second.bottom) / 2;
  EXPECT_TRUE(group->ContainsPoint((second.left + second.right) / 2, y));
  EXPECT_FALSE(group->ContainsPoint((first.right + second.left) / 2, y));
  EXPECT_FALSE(group->ContainsPoint(second.right + 5, y));
}

}  // namespace
