// Access requests: the strongest request is held and turned through the key combination table, and
// the top-view record's "Units" pairs turn the key into the current access id.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/ElementTestSupport.h"

namespace {

using cattest::SetField;
using cattest::SetWords;
using eltest::Rect;

SnapAnchor Anchor(int32_t code, int32_t level, uint32_t flags = 0) {
  SnapAnchor anchor;
  anchor.code = code;
  anchor.level = level;
  anchor.flags = flags;
  return anchor;
}

class ElementAccessTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    canvas_ = std::make_unique<zelvproElement>(0, nullptr, Rect(0, 0, 800, 600), nullptr, 0, 0);
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
  }
  zelvproElement* Add(std::vector<SnapAnchor> anchors, zelvDatabase* db = nullptr, int32_t recordId = 0) {
    auto* element = new zelvproElement(recordId, canvas_.get(), Rect(0, 0, 10, 10), db, 0, 0);
    element->snapPoints = std::move(anchors);
    return element;
  }
  // A top-view record whose "Units" blob holds these words.
  static int32_t TopViewWithUnits(zelvDatabase& db, const std::vector<int32_t>& words) {
    zelvproTopViewFil& topViews = db.TopViewFile();
    topViews.ClearRecordBuffer(nullptr);
    SetWords(topViews, "Units", words);
    int32_t id = 0;
    topViews.AddRecord(&id, nullptr);
    return id;
  }

  std::unique_ptr<zelvproElement> canvas_;
};

TEST_F(ElementAccessTest, TheStrongestRequestIsHeldAndOnlyItsOwnPopReleasesIt) {
  const struct {
    bool push;
    int32_t key, level;
    int32_t heldKey, heldLevel;
  } kSteps[] = {
      {true, 5, 2, 5, 2},  {true, 7, 2, 5, 2},   // an equal level keeps the earlier request
      {false, 7, 2, 5, 2}, {false, 5, 3, 5, 2},  // another key or level releases nothing
      {true, 7, 3, 7, 3},  {false, 7, 3, 0, 0},  // no linked anchor to fall back to
  };
  zelvproElement* element = Add({});
  for (const auto& s : kSteps) {
    SCOPED_TRACE(testing::Message() << (s.push ? "push " : "pop ") << s.key << " " << s.level);
    element->changed = 0;
    if (s.push)
      element->PushAccessRequest(s.key, s.level, 0, nullptr);
    else
      element->PopAccessRequest(s.key, s.level);
    EXPECT_EQ(element->GetHeldAccessKey(), s.heldKey);
    EXPECT_EQ(element->curref, s.heldLevel);
    EXPECT_EQ(element->changed, 1);  // the unit may have changed: the geometry is rebuilt
  }
}

TEST_F(ElementAccessTest, UnitsPairsGiveTheAccessIdLaterPairsWinningAndTheFixedIdStays) {
  zelvDatabase& db = MakeDatabase();
  const int32_t keyedLast = TopViewWithUnits(db, {11, 0, 12, 5});
  const int32_t anyLast = TopViewWithUnits(db, {12, 5, 11, 0});
  const struct {
    int32_t record;  // 0: an element without a catalogue record
    int32_t key;
    uint8_t lockUnits;
    int32_t cached;
    int32_t accessId;
  } kCases[] = {
      {keyedLast, 5, 0, 0, 12},  {keyedLast, 3, 0, 0, 11}, {anyLast, 5, 0, 0, 11}, {anyLast, 3, 0, 0, 11},
      {keyedLast, 5, 1, 40, 40}, {keyedLast, 5, 1, 0, 12}, {0, 5, 0, 40, 0},       {0, 5, 1, 40, 40},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.record << " key " << c.key << " lock " << int(c.lockUnits));
    zelvproElement* element = Add({}, &db, c.record);
    element->lockUnits = c.lockUnits;
    element->unitRecordId = c.cached;
    db.TopViewFile().ReadRecord(keyedLast == c.record ? anyLast : keyedLast, nullptr);
    const int32_t current = db.TopViewFile().CurrentRecordId();
    element->PushAccessRequest(c.key, 1, 0, nullptr);
    EXPECT_EQ(element->GetUnitRecordId(), c.accessId);
    EXPECT_EQ(db.TopViewFile().CurrentRecordId(), current);  // read through the second file
    delete element;
  }
}

TEST_F(ElementAccessTest, CombinationTurnsTheKeyOnlyWhileItsAnchorIsLinked) {
  // Anchor 0 (code 6) gives no request of its own; anchor 1 (code 4) gives (4, 2).
  zelvproElement* element = Add({Anchor(6, 1, SnapAnchor::kNoAccessRequest), Anchor(4, 2)});
  zelvproElement* sixes = Add({Anchor(-6, 1, SnapAnchor::kNoAccessRequest)});
  zelvproElement* fours = Add({Anchor(-4, 1, SnapAnchor::kNoAccessRequest)});
  element->keyCombinations = {4, 6, 9};
  canvas_->ConnectSnaps(element, fours, 1, 0);
  EXPECT_EQ(element->GetHeldAccessKey(), 4);
  canvas_->DisconnectSnaps(element, fours, 1, 0);
  EXPECT_EQ(element->GetHeldAccessKey(), 0);
  canvas_->ConnectSnaps(element, sixes, 0, 0);
  canvas_->ConnectSnaps(element, fours, 1, 0);
  EXPECT_EQ(element->GetHeldAccessKey(), 9);
  EXPECT_EQ(element->GetAccessKey(), 9);
  // Unlinking pops the raw key 4, which must release the request the table turned into 9.
  canvas_->DisconnectSnaps(element, fours, 1, 0);
  EXPECT_EQ(element->GetHeldAccessKey(), 0);
  EXPECT_EQ(element->curref, 0);
}

TEST_F(ElementAccessTest, ALinkRepeatingThePartnersKeyGivesARequestOnlyWhenTheCatalogueSaysSo) {
  zelvDatabase& db = MakeDatabase();
  for (int32_t unlock : {0, 1}) {
    SCOPED_TRACE(unlock);
    cattest::ChangeSettings(db, {{"unlockChildren", unlock}});
    zelvproElement* element = Add({Anchor(5, 1)}, &db);
    zelvproElement* partner = Add({Anchor(-5, 1, SnapAnchor::kNoAccessRequest)}, &db);
    partner->currcat = 5;
    canvas_->ConnectSnaps(element, partner, 0, 0);
    EXPECT_EQ(element->GetHeldAccessKey(), unlock != 0 ? 5 : 0);
    delete element;
    delete partner;
  }
}

}  // namespace
