// Colour groups: which groups an element uses, applying a colour record to it and its children, the
// clamped colour look-up and the texture code rounding.
#include <gtest/gtest.h>

#include "elements/topview/TopViewTestSupport.h"

namespace {

using eltest::Join;
using eltest::Shape3DEntry;
using eltest::SubItemEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

TEST_F(TopViewTest, TheColourMaskFollowsUnitGroupsAndInteriorLocks) {
  zelvDatabase& bare = MakeDatabase("bare.cdb");
  const int32_t bareUnit = AddUnit(bare, {});
  auto none = MakeOwned(bare, AddTopView(bare, {}, {{"Units", {bareUnit, 0}}}));
  EXPECT_EQ(none->CollectBitMask(true), 0u);
  EXPECT_EQ(none->colourMask, 0u);

  zelvDatabase& db = MakeDatabase();
  const int32_t second = [&] {
    AddColourCode(db, 1, 0);
    return AddColourCode(db, 2, 0);
  }();
  const int32_t plain = AddUnit(db, {});
  auto atTwo = MakeOwned(db, AddTopView(db, {{"colorCode", second}}, {{"Units", {plain, 0}}}));
  EXPECT_EQ(atTwo->extraA, 2);
  EXPECT_EQ(atTwo->CollectBitMask(false), 0x2u);
  auto noCode = MakeOwned(db, AddTopView(db, {}, {{"Units", {plain, 0}}}));
  EXPECT_TRUE(noCode->noColourCode);
  EXPECT_EQ(noCode->CollectBitMask(false), 0u);

  // A unit whose 3D shapes carry group 1, with a child in group 2.
  const int32_t shaped = AddUnit(db, {{"useParametrics", 2}}, {{"shapes3D", Shape3DEntry(1, 1)}});
  const int32_t part = AddTopView(db, {{"colorCode", second}}, {{"Units", {plain, 0}}});
  auto parent = MakeOwned(
      db, AddTopView(db, {}, {{"Units", {shaped, 0}}, {"subItems", SubItemEntry(part, 0, 0, 0, 0, 0)}}));
  auto* child = dynamic_cast<zelvproTopViewElement*>(parent->Subviews().At(0));
  EXPECT_EQ(parent->CollectBitMask(true), 0x3u);
  cattest::ChangeSettings(db, {{"useExtendedColorSystem", 2}});
  EXPECT_EQ(parent->CollectBitMask(true), 0x1u);
  EXPECT_EQ(parent->CollectBitMask(false), 0x1u);
  child->interiorLocked = true;
  EXPECT_EQ(parent->CollectBitMask(true), 0x3u);
}

TEST_F(TopViewTest, ApplyingAColourRespectsEachGroupAndEachDatabase) {
  zelvDatabase& db = MakeDatabase();
  const int32_t red = AddColour(db, 1), green = AddColour(db, 2), blue = AddColour(db, 3);
  AddColourCode(db, 1, blue, {red, blue});
  AddColourCode(db, 2, blue, {blue});
  AddColourCode(db, 3, blue, {green, blue});
  const int32_t unit =
      AddUnit(db, {{"useParametrics", 2}},
              {{"shapes3D", Join({Shape3DEntry(1, 1), Shape3DEntry(1, 2), Shape3DEntry(1, 3)})}});
  auto element = MakeOwned(db, AddTopView(db, {}, {{"Units", {unit, 0}}}));
  ASSERT_EQ(element->colours, (Words{blue, blue, blue}));
  element->needsRedraw = 0;

  element->ApplyColorRecord(0, &db, -1);
  EXPECT_EQ(element->colours, (Words{blue, blue, blue}));
  EXPECT_EQ(element->needsRedraw, 0);

  element->ApplyColorRecord(red, &db, -1);  // groups 2 and 3 do not allow red
  EXPECT_EQ(element->colours, (Words{red, blue, blue}));
  EXPECT_EQ(element->colorRecordId, red);
  EXPECT_EQ(db.LastGroupColor(1), red);
  EXPECT_EQ(element->needsRedraw, 1);
  element->ApplyColorRecord(green, &db, 0x4);
  EXPECT_EQ(element->colours, (Words{red, blue, green}));

  // A colour of another catalogue reaches only the children of that catalogue.
  zelvDatabase& other = MakeDatabase("other.cdb");
  const int32_t otherRed = AddColour(other, 1);
  const int32_t code = AddColourCode(other, 1, AddColour(other, 2));
  const int32_t otherUnit = AddUnit(other, {});
  zelvproTopViewElement* child =
      Make(other, AddTopView(other, {{"colorCode", code}}, {{"Units", {otherUnit, 0}}}), element.get());
  element->ApplyColorRecord(otherRed, &other, -1);
  EXPECT_EQ(element->colours, (Words{red, blue, green}));
  EXPECT_EQ(child->colours, Words{otherRed});

  EXPECT_EQ(element->GetColorRecordIdClamped(0), red);
  EXPECT_EQ(element->GetColorRecordIdClamped(-1), red);
  EXPECT_EQ(element->GetColorRecordId(1), red);
  EXPECT_EQ(zelvproTopViewElement::RoundColorCode(0x1234), 0x1204);
  EXPECT_EQ(element->MapTextureCode(0x1234), 0x1204);
}

TEST_F(TopViewTest, AColourAGroupDoesNotAllowIsReplacedByOneItDoes) {
  zelvDatabase& db = MakeDatabase();
  const int32_t red = AddColour(db, 1), green = AddColour(db, 2), blue = AddColour(db, 3);
  AddColourCode(db, 1, blue, {red, blue});
  AddColourCode(db, 2, blue, {green, red});  // its default is not allowed
  AddColourCode(db, 3, blue, {blue});
  const int32_t unit =
      AddUnit(db, {{"useParametrics", 2}}, {{"shapes3D", Join({Shape3DEntry(1, 1), Shape3DEntry(1, 2)})}});
  const int32_t item = AddTopView(db, {}, {{"Units", {unit, 0}}});
  auto element = MakeOwned(db, item);
  struct Case {
    int32_t id, group, expected;
  } cases[] = {
      {red, 1, red},      // allowed
      {green, 1, blue},   // the group's default
      {blue, 2, green},   // the group's first colour
      {green, 3, green},  // a group the element does not use
  };
  for (const Case& c : cases)
    EXPECT_EQ(element->ValidateColor(c.id, c.group), c.expected) << c.id << "/" << c.group;

  // A part in a grid cell takes its container's colour of the group first.
  element->colours[0] = red;
  zelvproTopViewElement* part = Make(db, item, element.get());
  part->flags |= zelvproTopViewElement::kInGridCell;
  EXPECT_EQ(part->ValidateColor(green, 1), red);
}

}  // namespace
