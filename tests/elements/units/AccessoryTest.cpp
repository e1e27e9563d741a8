// Accessories: invisible to plan hits and frames, following their host's tag and linked record, and
// compared without their colours.
#include <gtest/gtest.h>

#include "elements/units/GroupsTestSupport.h"
#include "elements/units/zelvproAccessory.h"

namespace {

class AccessoryTest : public unittest::SweepingUnitsTest {
 protected:
  zelvproAccessory* MakeAccessory(zelvproElement* host) {
    auto* accessory = dynamic_cast<zelvproAccessory*>(Make(*db_, BoxRecord(10, 50, 50), host));
    EXPECT_NE(accessory, nullptr);
    if (accessory != nullptr && host != nullptr) host->AddSubview(accessory);
    return accessory;
  }
};

TEST_F(AccessoryTest, IsNeverHitAndHasNoFrame) {
  zelvproTopViewElement* host = Make(*db_, BoxRecord(0, 600, 600), canvas_.get());
  zelvproAccessory* accessory = MakeAccessory(host);
  EXPECT_EQ(accessory->kind, 10);
  EXPECT_EQ(accessory->colorRecordId, 0);
  EXPECT_TRUE(accessory->GetFrameRegion()->IsEmpty());
  EXPECT_TRUE(accessory->NewFrameRegion()->IsEmpty());
  plat::RECT box{};
  host->NewFrameRegion()->GetBounds(&box);
  const int32_t x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
  EXPECT_TRUE(host->ContainsPoint(x, y));
  EXPECT_FALSE(accessory->ContainsPoint(x, y));
}

TEST_F(AccessoryTest, TakesTheHostsTagAndLinkedRecordAtItsNextInvalidation) {
  zelvproTopViewElement* host = Make(*db_, BoxRecord(0, 600, 600), canvas_.get());
  zelvproAccessory* accessory = MakeAccessory(host);
  host->tag = 7;
  host->linkedRecord = 42;
  EXPECT_NE(accessory->tag, 7);
  const int32_t updates = canvas_->updates;
  accessory->InvalidateGeometry();
  EXPECT_EQ(accessory->tag, 7);
  EXPECT_EQ(accessory->linkedRecord, 42);
  EXPECT_GT(canvas_->updates, updates);
}

TEST_F(AccessoryTest, WithoutAHostNothingIsTaken) {
  std::unique_ptr<zelvproAccessory> accessory(MakeAccessory(nullptr));
  accessory->tag = 3;
  accessory->InvalidateGeometry();
  EXPECT_EQ(accessory->tag, 3);
  EXPECT_EQ(accessory->linkedRecord, 0);
}

TEST_F(AccessoryTest, SavesType10) {
  std::unique_ptr<zelvproAccessory> accessory(MakeAccessory(nullptr));
  zelvproDocModuleFil& module = Module(*db_);
  accessory->WriteRecord(module, false, 0);
  EXPECT_EQ(RecordField(module, "type").Long(module.GetRecordBuffer()), 10);
}

TEST_F(AccessoryTest, ColoursDoNotMakeTwoAccessoriesDiffer) {
  const int32_t record = BoxRecord(10, 50, 50);
  std::unique_ptr<zelvproElement> a(Make(*db_, record)), b(Make(*db_, record));
  a->colorRecordId = 3, b->colorRecordId = 4;
  EXPECT_FALSE(a->DiffersFromRecord(b.get()));
  b->auxWordA = 1;
  EXPECT_TRUE(a->DiffersFromRecord(b.get()));
}

}  // namespace
