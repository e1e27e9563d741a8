// Accessories: invisible to plan hits and frames, following their host's tag and linked record, and
// compared without their colours.
#include <gtest/gtest.h>

#include <numbers>

#include "elements/units/GroupsTestSupport.h"
#include "elements/units/zelvproAccessory.h"
#include "foundation/ppMatrix4.h"

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

// Put in a turned host standing 100 mm up: unturned in the host's frame at its own height above the
// floor, centred under the point and kept inside the host's outline; without a point at the host's
// origin; wider than the host, centred across it.
TEST_F(AccessoryTest, IsPlacedInsideItsHostAtItsOwnHeight) {
  zelvproTopViewElement* host = Make(*db_, BoxRecord(0, 600, 560), canvas_.get());
  host->SetPosition(ppVector3(1000.0f, 100.0f, 2000.0f));
  host->StoreAngle(std::numbers::pi_v<float> / 2);
  auto* accessory = dynamic_cast<zelvproAccessory*>(Make(*db_, BoxRecord(10, 590, 520), nullptr));
  ASSERT_NE(accessory, nullptr);
  accessory->height = 870.0f;
  accessory->StoreAngle(1.0f);
  ppMatrix4 world;
  host->BuildWorldMatrix(world);
  auto plan = [&](float x, float z) {
    ppVector3 out;
    world.TransformPoint(out, ppVector3(x, 0.0f, z));
    return out;
  };
  auto expectAt = [&](float x, float z, const char* what, float y = 770.0f) {
    EXPECT_NEAR(accessory->GetPosition().x, x, 0.01f) << what;
    EXPECT_NEAR(accessory->GetPosition().y, y, 0.01f) << what;
    EXPECT_NEAR(accessory->GetPosition().z, z, 0.01f) << what;
    EXPECT_EQ(accessory->GetAngle(), 0.0f) << what;
  };
  ppVector3 point = plan(300.0f, 280.0f);
  accessory->PlaceIn(*host, &point);
  expectAt(5.0f, 20.0f, "in the middle");
  point = plan(600.0f, 560.0f);
  accessory->PlaceIn(*host, &point);
  expectAt(10.0f, 40.0f, "over the far corner");
  accessory->PlaceIn(*host, nullptr);
  expectAt(0.0f, 0.0f, "without a point");
  host->AddSubview(accessory);
  ppVector3 absolute;
  accessory->GetAbsolutePosition(absolute);
  EXPECT_NEAR(absolute.y, 870.0f, 0.01f);

  zelvproTopViewElement* narrow = Make(*db_, BoxRecord(0, 300, 560), canvas_.get());
  accessory->PlaceIn(*narrow, nullptr);
  expectAt(-145.0f, 0.0f, "wider than its host", 870.0f);
}

}  // namespace
