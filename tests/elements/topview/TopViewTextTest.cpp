// What the price list asks of a top-view element: the colour text, whether two elements share a line,
// and whether the interior parts still match the unit.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproDepthFil.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using cattest::AddRecord;
using eltest::Join;
using eltest::Shape3DEntry;
using eltest::SubItemEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

class TopViewTextTest : public TopViewTest {
 protected:
  // Three colour groups "Front", "Korpus" and "Greb", white by default, with the extended colour
  // system and depths in pricing.
  zelvDatabase& Catalogue() {
    zelvDatabase& db = MakeDatabase();
    white_ = AddColour(db, 1, "Hvid"), oak_ = AddColour(db, 2, "Eg"), black_ = AddColour(db, 3, "Sort");
    AddColourCode(db, 1, white_, {}, "Front");
    AddColourCode(db, 2, white_, {}, "Korpus");
    AddColourCode(db, 3, white_, {}, "Greb");
    cattest::ChangeSettings(db, {{"useExtendedColorSystem", 1}, {"useDepthInPricing", 1}});
    return db;
  }
  // A unit whose 3D shapes carry the groups given.
  static int32_t UnitWithGroups(zelvDatabase& db, std::initializer_list<int32_t> groups,
                                Words subUnits = {}) {
    Words shapes;
    for (int32_t g : groups) shapes = Join({shapes, Shape3DEntry(1, g)});
    return AddUnit(db, {{"useParametrics", 2}}, {{"shapes3D", shapes}, {"subUnits", subUnits}});
  }
  int32_t white_ = 0, oak_ = 0, black_ = 0;
};

TEST_F(TopViewTextTest, TheColourTextNamesGroupsDepthAndOptions) {
  zelvDatabase& db = Catalogue();
  const int32_t unit = UnitWithGroups(db, {1, 2, 3});
  const int32_t part = AddTopView(db, {}, {{"Units", {unit, 0}}});
  const int32_t quiet = AddClass(db, 40, 0x2), shown = AddClass(db, 41, 0);
  const int32_t drawer = AddUnit(db, {{"name1", "Skuffe"}, {"number1", "A12"}});
  auto element = MakeOwned(db, AddTopView(db, {},
                                          {{"Units", {unit, 0}},
                                           {"subItems", SubItemEntry(part, 0, 0, 0, 0, 0)},
                                           {"options", {quiet, 0, drawer, 0, shown, 0, drawer, 0}}}));
  element->colours[1] = oak_;
  auto* child = dynamic_cast<zelvproTopViewElement*>(element->Subviews().At(0));
  child->colours = {white_, oak_, black_};
  zelvproTopViewElement::SetChildMerge(true);
  element->SetLinkedRecord(AddRecord(db.DepthFile(), {{"name", "60 cm"}}));

  Vcon::WString text;
  element->GetColorValue(text);
  EXPECT_STREQ(text.Narrow().c_str(),
               "Front: Hvid / Korpus: Eg / Greb: + / Dybde: 60 cm"
               "A12 Skuffe\r\n");
}

TEST_F(TopViewTextTest, ElementsShareALineWhenTheyDifferOnlyOutsideTheirGroups) {
  zelvDatabase& db = Catalogue();
  const int32_t unit = UnitWithGroups(db, {1, 2});
  const int32_t item = AddTopView(db, {}, {{"Units", {unit, 0}}});
  auto a = MakeOwned(db, item), b = MakeOwned(db, item);
  b->colours[2] = black_;
  EXPECT_FALSE(a->DiffersFromRecord(b.get()));
  b->colours[1] = oak_;
  EXPECT_TRUE(a->DiffersFromRecord(b.get()));
}

TEST_F(TopViewTextTest, MissingInteriorPartsMakeTheElementDeviate) {
  zelvDatabase& db = Catalogue();
  const int32_t part = AddTopView(db, {});
  const Words entry = {part, 0, 0, 0, 0, 0, 0};
  const Words parts = Join({SubItemEntry(part, 0, 0, 0, 0, 0), SubItemEntry(part, 0, 0, 0, 0, 0)});
  struct Case {
    Words subUnits;
    uint32_t bits;
  } cases[] = {{Join({entry, entry, entry}), zelvproTopViewElement::kFewerParts}, {{}, 0}};
  for (const Case& c : cases) {
    const int32_t unit = UnitWithGroups(db, {1}, c.subUnits);
    auto element = MakeOwned(db, AddTopView(db, {}, {{"Units", {unit, 0}}, {"subItems", parts}}));
    // Applying the unit made its interior parts; take them away again.
    for (int32_t i = element->Subviews().Count() - 1; i >= 0; --i) {
      auto* child = dynamic_cast<zelvproTopViewElement*>(element->Subviews().At(i));
      if (child != nullptr && child->interiorLocked) delete child;
    }
    ASSERT_EQ(element->Subviews().Count(), 2);
    element->CheckSubUnits(true);
    EXPECT_EQ(element->deviationBits, c.bits);
    EXPECT_EQ(element->deviates, c.bits != 0 ? 1 : 0);
  }
}

}  // namespace
