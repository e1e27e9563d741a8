// The top-view element's properties by name, read and written as the information panel and the
// numbering sweeper do: through iProperty::GetValueByName and SetValueByName.
#include <gtest/gtest.h>

#include <cmath>

#include "elements/topview/TopViewNumberingSupport.h"

namespace {

using tvtest::NumberingTest;

class RecordingUpdate : public iCalculationUpdate {
 public:
  void UpdateCalculation(bool now) override { requests.push_back(now); }
  std::vector<bool> requests;
};

TEST_F(NumberingTest, NamesFindTheirIndexesExactlyAndTheTableHasThirtyNineFixedNames) {
  zelvproTopViewElement* unit = Place(AddTopView(*db_, {}), 0);
  unit->price = ppMoney::FromRawInt(12345);
  EXPECT_EQ(unit->IndexOf("Price"), 7);
  EXPECT_EQ(unit->NameAt(24), "Price");
  EXPECT_EQ(unit->GetValueAt(24).ToMoney(), unit->GetValueByName("Price").ToMoney());
  EXPECT_EQ(unit->IndexOf("yPosition"), 37);
  EXPECT_EQ(unit->IndexOf("YPosition"), iProperty::kNoProperty);
  EXPECT_EQ(unit->IndexOf("this"), iProperty::kThis);
  EXPECT_EQ(unit->GetPropertyCount(), 39);
  EXPECT_EQ(unit->GetValueAt(39).Type(), ppParameter::kNone);
  EXPECT_EQ(unit->NameAt(39), "");
  for (const char* unread : {"lot", "Budget", "Qty", "Diff", "ShowExtras", "Thumbnail"})
    EXPECT_EQ(unit->GetValueByName(unread).Type(), ppParameter::kNone) << unread;
}

TEST_F(NumberingTest, AStretchableWidthIsKeptWithinTheRecordsBounds) {
  struct Case {
    uint32_t flags;
    double minX, maxX;
    float expected;
  };
  const Case cases[] = {
      {0x20000000, 600, 0, 600}, {0x20000000, 0, 0, 500}, {0x20000000, 0, 450, 450}, {0x40000000, 0, 0, 300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    const int32_t record =
        AddTopView(*db_, {{"flags", int32_t(c.flags)}, {"width", 300.0}, {"minX", c.minX}, {"maxX", c.maxX}});
    zelvproTopViewElement* unit = Place(record, 0);
    unit->SetValueByName("XDim", ppParameter("500"), true);
    EXPECT_EQ(unit->dimensions.x, c.expected);
    EXPECT_EQ(unit->sizeChanged, 0);  // the close of the write handled it
  }
}

TEST_F(NumberingTest, AngleReadsDegreesAndIdOfAnotherCatalogueChangesNothing) {
  zelvproTopViewElement* unit = Place(AddTopView(*db_, {}), 0);
  unit->SetAngle(float(M_PI / 2));
  EXPECT_STREQ(unit->GetValueByName("Angle").AsString().c_str(), "90");

  unit->RebuildGeometry();
  unit->changed = 0;  // whatever the rebuild left: only the writes below may mark the unit
  const int32_t own = db_->Identifier();
  ASSERT_EQ(own, kIdentifier);
  unit->SetValueByName("Id", ppParameter(4 * 10000 + own + 1), false);
  EXPECT_EQ(unit->changed, 0);
  unit->SetValueByName("Id", ppParameter(4 * 10000 + own), false);
  EXPECT_EQ(unit->changed, 1);
}

TEST_F(NumberingTest, DeleteTakesTheUnitOutAndUndoPutsItBack) {
  zelvproTopViewElement* unit = Place(AddTopView(*db_, {}), 0);
  unit->SetValueByName("Delete", ppParameter(1), true);
  EXPECT_EQ(canvas_->IndexOfSubview(unit), -1);
  EXPECT_EQ(canvas_->updates, 1);
  canvas_->Undo();
  EXPECT_EQ(canvas_->IndexOfSubview(unit), 0);
  canvas_->Redo();
  EXPECT_EQ(canvas_->IndexOfSubview(unit), -1);  // the history deletes it with the canvas
}

TEST_F(NumberingTest, ADepthOfTheOwnCatalogueIsLinkedAndUpdatesThePriceListWhenTheUnitAsks) {
  RecordingUpdate update;
  iCalculationUpdate::Install(&update);
  zelvproTopViewElement* unit = Place(AddTopView(*db_, {}), 0);
  unit->SetValueByName("DepthID", ppParameter(3 * 10000 + kIdentifier + 1), true);  // another catalogue
  EXPECT_EQ(unit->linkedRecord, 0);
  unit->SetValueByName("DepthID", ppParameter(3 * 10000 + kIdentifier), true);
  EXPECT_EQ(Read(unit, "DepthID"), 3 * 10000 + kIdentifier);
  EXPECT_TRUE(update.requests.empty());
  unit->auxFlag = 1;
  unit->SetValueByName("DepthID", ppParameter(4 * 10000 + kIdentifier), true);
  EXPECT_EQ(update.requests, std::vector<bool>{false});
}

TEST_F(NumberingTest, LocksReachTheTreeAndInteriorLockTheDirectChildren) {
  zelvproTopViewElement* unit = Place(AddTopView(*db_, {}), 0);
  zelvproTopViewElement* part = Make(*db_, AddTopView(*db_, {}), unit);
  zelvproTopViewElement* kept = Make(*db_, AddTopView(*db_, {}), unit);
  kept->lockedChildBits = 2;
  unit->SetValueByName("Lock", ppParameter(true), true);
  EXPECT_EQ(part->locked, 1);
  unit->SetValueByName("InteriorLock", ppParameter(false), true);
  EXPECT_EQ(part->lockedChildBits, 0);
  EXPECT_EQ(kept->lockedChildBits, 2);
  unit->SetValueByName("InteriorLock", ppParameter(true), true);
  EXPECT_EQ(kept->lockedChildBits, 1);
  EXPECT_TRUE(unit->GetValueByName("InteriorLock").ToBool());
}

TEST_F(NumberingTest, EnumGroupStandsOnceAndTravelsOnlyWithAPositiveValue) {
  const int32_t numbered = UnitRecord(7, true);
  zelvproTopViewElement* a = Place(numbered, 0);
  zelvproTopViewElement* b = Place(numbered, 100);
  zelvproTopViewElement* plain = Place(UnitRecord(8, false), 1000);

  a->SetValueByName("EnumGroup", ppParameter(-1), false);
  EXPECT_EQ(Read(a, "EnumGroup"), -1);
  EXPECT_EQ(Read(b, "EnumGroup"), 0);
  a->SetValueByName("EnumGroup", ppParameter(2), false);
  EXPECT_EQ(Read(b, "EnumGroup"), 2);
  a->SetValueByName("EnumGroup", ppParameter(3), false);
  EXPECT_EQ(Read(a, "EnumGroup"), 2);
  plain->SetValueByName("EnumGroup", ppParameter(3), false);
  EXPECT_EQ(Read(plain, "EnumGroup"), 0);
  EXPECT_EQ(plain->GetValueByName("EnumClass").Type(), ppParameter::kNone);
  EXPECT_EQ(Read(a, "EnumClass"), 7);
}

TEST_F(NumberingTest, ASequenceNumberTravelsAlongARunAtOneHeight) {
  const int32_t numbered = UnitRecord(7, true);
  zelvproTopViewElement* a = Place(numbered, 0);
  zelvproTopViewElement* b = Place(numbered, 100);
  zelvproTopViewElement* c = Place(numbered, 200);
  zelvproTopViewElement* above = Place(numbered, 300, 900);  // joined in plan, not at c's height
  EXPECT_EQ(Read(a, "NumberOfSequenceSnaps"), 1);
  EXPECT_EQ(Read(b, "NumberOfSequenceSnaps"), 2);
  EXPECT_EQ(Read(a, "FirstSnapDirection"), 5);  // the code of a's right anchor
  EXPECT_EQ(Read(c, "FirstSnapDirection"), -5);

  a->SetValueByName("SequenceNumber", ppParameter(1), false);
  EXPECT_EQ(Read(a, "SequenceNumber"), 1);
  EXPECT_EQ(Read(b, "SequenceNumber"), 2);
  EXPECT_EQ(Read(c, "SequenceNumber"), 3);
  EXPECT_EQ(Read(above, "SequenceNumber"), 0);
}

}  // namespace
