// Option entries: the outline chain from piece entries, the option key of priced options, and the
// layout of options along their snap chain.
#include <gtest/gtest.h>

#include "elements/shapes/zelvproTranslator.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using eltest::Join;
using eltest::PieceEntry;
using eltest::SnapEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

TEST_F(TopViewTest, PieceEntriesChainInReverseAndCutTowardZero) {
  zelvDatabase& db = MakeDatabase();
  const int32_t five = AddShape(db, {0, 0});
  const int32_t six = AddShape(db, {0, 0, 1, 1});
  auto element = MakeOwned(db, AddTopView(db, {}));
  const Words blob = Join({PieceEntry(five, -2.7f, 3.9f), PieceEntry(0, 1, 1), PieceEntry(six, 0, 0)});
  const std::vector<uint8_t> pieces(reinterpret_cast<const uint8_t*>(blob.data()),
                                    reinterpret_cast<const uint8_t*>(blob.data() + blob.size()));
  db.ShapeFile().ClearRecordBuffer(nullptr);
  auto previous =
      std::make_unique<zelvproShape>(db.ShapeFile(), db.ShapeFile().GetRecordBuffer(), 0, 0, 0.0f, 0.0f);
  zelvproShape* tail = previous.get();

  std::unique_ptr<zelvproShape> head = element->AppendPieceShapes(pieces, std::move(previous));
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(MemGetSize(head->points), 16);  // shape six
  zelvproShape* second = head->next.get();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(MemGetSize(second->points), 8);  // shape five
  EXPECT_EQ(second->next.get(), tail);
  ASSERT_NE(second->translator, nullptr);
  EXPECT_EQ(second->translator->dx, -2);
  EXPECT_EQ(second->translator->dy, 3);
}

TEST_F(TopViewTest, TheOptionKeyListsPricedOptionsOnly) {
  zelvDatabase& db = MakeDatabase();
  const int32_t three = AddClass(db, 3, 0x100), seven = AddClass(db, 7, 0x100), plain = AddClass(db, 9, 0);
  const int32_t a = AddUnit(db, {{"id", 1201}}), b = AddUnit(db, {{"id", 88}}), c = AddUnit(db, {{"id", 5}});
  auto element =
      MakeOwned(db, AddTopView(db, {}, {{"options", {three, 0, a, 0, plain, 0, c, 0, seven, 0, b, 0}}}));
  Vcon::String key;
  element->BuildOptionKey(key, true);
  EXPECT_STREQ(key.c_str(), "3:1201 7:88");

  auto bare = MakeOwned(db, AddTopView(db, {}));
  bare->BuildOptionKey(key, true);
  EXPECT_STREQ(key.c_str(), "");
}

TEST_F(TopViewTest, OptionsAreLaidOutAlongTheirSnapChain) {
  zelvDatabase& db = MakeDatabase();
  // Chosen units whose top views link snap ids 0 -> 4, -4 -> 9 and -9; with `cycle` the last also
  // links 7, which leads back to the first option.
  auto layout = [&](bool cycle) {
    const int32_t ta = AddTopView(
        db, {},
        {{"Snappoints", Join({SnapEntry(-7, 9, 9, 9), SnapEntry(0, 1, 0, 0), SnapEntry(4, 10, 0, 0)})}});
    const int32_t tb =
        AddTopView(db, {}, {{"Snappoints", Join({SnapEntry(-4, 0, 100, 0), SnapEntry(9, 0, 0, 1000)})}});
    Words c = SnapEntry(-9, 0, 0, 5);
    if (cycle) c = Join({c, SnapEntry(7, 1, 1, 1)});
    const int32_t tc = AddTopView(db, {}, {{"Snappoints", c}});
    const int32_t ua = AddUnit(db, {{"topView", ta}}), ub = AddUnit(db, {{"topView", tb}}),
                  uc = AddUnit(db, {{"topView", tc}});
    const int32_t k = AddClass(db, 1, 0);
    auto element = MakeOwned(db, AddTopView(db, {}, {{"options", {k, 0, uc, 0, k, 0, ua, 0, k, 0, ub, 0}}}));
    element->LayOutOptions();
    return element;
  };
  for (bool cycle : {false, true}) {
    auto element = layout(cycle);
    ASSERT_EQ(element->options.size(), 3u);
    EXPECT_EQ(element->options[1].offset.x, 1.0f) << cycle;  // a: its snap 0
    const ppVector3 b = element->options[2].offset;          // + a's snap 4 + b's snap -4
    EXPECT_EQ(b.x, 11.0f);
    EXPECT_EQ(b.y, 100.0f);
    const ppVector3 c = element->options[0].offset;  // + b's snap 9 + c's snap -9
    EXPECT_EQ(c.x, 11.0f);
    EXPECT_EQ(c.z, 1005.0f);
  }
}

TEST_F(TopViewTest, ChoosingAUnitOutsideTheGroupGoesByItsOptionValue) {
  zelvDatabase& db = MakeDatabase();
  const int32_t cls = AddClass(db, 5, 0);
  const int32_t five = cattest::AddRecord(db.OptionValueFile(), {{"id", 5}});
  const int32_t a = AddUnit(db, {}), b = AddUnit(db, {{"optionValue", five}});
  const int32_t outside = AddUnit(db, {}), outsideFive = AddUnit(db, {{"optionValue", five}});
  auto element = MakeOwned(db, AddTopView(db, {}, {{"options", {cls, 0, a, b, 0}}}));
  element->configurationChanged = 0;
  element->ChooseOptionUnit(cls, outside);
  EXPECT_EQ(element->options[0].chosenUnit, a);
  EXPECT_EQ(element->configurationChanged, 1);
  element->ChooseOptionUnit(cls, outsideFive);
  EXPECT_EQ(element->options[0].chosenUnit, b);
  EXPECT_EQ(db.ClassFile().CacheGet(cls), five);
}

TEST_F(TopViewTest, OptionPiecesGoToEveryAnchorOfTheirClass) {
  zelvDatabase& db = MakeDatabase();
  const int32_t cls = AddClass(db, 77, 0);
  const int32_t shape = AddShape(db, {0, 0});
  const int32_t piece = AddUnit(db, {}, {{"shapes", PieceEntry(shape, 0, 0)}});
  // Anchor 2 hangs on anchor 1; with `cycle` anchor 1 hangs on anchor 2 as well.
  for (bool cycle : {false, true}) {
    const int32_t unit =
        AddUnitWithAnchors(db, {{1, cycle ? 2 : 0, 77, 100.0f, 50.0f}, {2, 1, 77, 10.0f, 5.0f}});
    auto element = MakeOwned(db, AddTopView(db, {}, {{"Units", {unit, 0}}, {"options", {cls, 0, piece, 0}}}));
    std::unique_ptr<zelvproShape> head = element->AppendOptionShapes(nullptr);
    EXPECT_EQ(element->anchors.size(), 2u);
    EXPECT_EQ(element->CountOptionParts(cls), 2);
    // The list holds the newest anchor first: anchor 2's pieces are made first and end up last.
    ASSERT_NE(head, nullptr);
    ASSERT_NE(head->next, nullptr);
    EXPECT_EQ(head->next->next, nullptr);
    const int32_t firstX = cycle ? 110 : 100, firstY = cycle ? 55 : 50;
    EXPECT_EQ(head->translator->dx, firstX) << cycle;
    EXPECT_EQ(head->translator->dy, firstY);
    EXPECT_EQ(head->next->translator->dx, 110);
    EXPECT_EQ(head->next->translator->dy, 55);
  }
}

}  // namespace
