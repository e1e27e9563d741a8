// Colour codes: which colour record and field a code names, how a field value becomes four
// fractions, when a texture whitens the colour, and the texture cache shared by all elements.
#include <gtest/gtest.h>

#include <array>

#include "elements/ElementTestSupport.h"
#include "framework/ppPicture.h"

namespace {

using cattest::AddRecord;
using eltest::Rect;
using eltest::Rgba;

// An element whose colour group 2 takes its own record.
class GroupedElement : public zelvproElement {
 public:
  using zelvproElement::zelvproElement;
  int32_t GetColorRecordId(int32_t group) override { return group == 2 ? groupTwo : colorRecordId; }
  int32_t groupTwo = 0;
};

std::array<float, 4> Colour(zelvproElement& element, int32_t code) {
  ppFloat4 out;
  element.GetColorByCode(out, code);
  return {out.v[0], out.v[1], out.v[2], out.v[3]};
}

class ElementColoursTest : public eltest::ElementTest {};

TEST_F(ElementColoursTest, CodesChooseRecordAndField) {
  zelvDatabase& db = MakeDatabase();
  const int32_t own =
      AddRecord(db.ColorCatalogFile(), {{"rgba0", Rgba(100, 50, 10, 100)}, {"rgba3", Rgba(1, 2, 3, 4)}});
  const int32_t other =
      AddRecord(db.ColorCatalogFile(), {{"rgba0", Rgba(0, 0, 100, 100)}, {"rgba3", Rgba(0, 100, 0, 50)}});
  GroupedElement element(0, nullptr, Rect(0, 0, 1, 1), &db, 0, 0);
  element.colorRecordId = own;
  element.groupTwo = other;
  using C = std::array<float, 4>;
  const struct {
    int32_t code;
    C colour;
  } kCases[] = {
      {-1001, C{1, 1, 1, 1}},              // no colour
      {-1000, C{1.0f, 0.5f, 0.1f, 1.0f}},  // own record, "rgba0"
      {2003, C{0.0f, 1.0f, 0.0f, 0.5f}},   // group 2's record, "rgba3"
      {2012, C{0, 0, 0, 0}},               // no such field
      {5, C{1, 1, 1, 1}},                  // group 0
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Colour(element, c.code), c.colour) << c.code;
    EXPECT_EQ(element.GetTextureByCode(c.code), nullptr) << c.code;
  }
  // The layer asks its owner: a new colour record shows without touching the layer.
  element.UnitLayer().code = -1000;
  EXPECT_EQ(element.UnitLayer().GetColor().v[1], 0.5f);
  element.colorRecordId = other;
  EXPECT_EQ(element.UnitLayer().GetColor().v[2], 1.0f);
}

TEST_F(ElementColoursTest, TexturesWhitenUnlessTheyModulateAndAreShared) {
  zelvDatabase& db = MakeDatabase();
  const int32_t plain = AddTexture(db, 2, 0, 0, 1);
  const int32_t modulating = AddTexture(db, 2, 4, 1);
  const int32_t empty = AddTexture(db, 0, 0, 1);
  const int32_t colour = AddRecord(db.ColorCatalogFile(), {{"rgba0", Rgba(100, 50, 10, 100)},
                                                           {"texture0", plain},
                                                           {"rgba1", Rgba(100, 50, 10, 100)},
                                                           {"texture1", modulating},
                                                           {"rgba2", Rgba(100, 50, 10, 100)},
                                                           {"texture2", empty}});
  GroupedElement first(0, nullptr, Rect(0, 0, 1, 1), &db, 0, 0);
  GroupedElement second(0, nullptr, Rect(0, 0, 1, 1), &db, 0, 0);
  first.groupTwo = second.groupTwo = colour;

  const ppPicture* whitening = first.GetTextureByCode(2000);
  ASSERT_NE(whitening, nullptr);
  EXPECT_FALSE(whitening->GetRepeat());
  EXPECT_EQ(Colour(first, 2000), (std::array<float, 4>{1, 1, 1, 1}));

  const ppPicture* kept = first.GetTextureByCode(2001);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->GetWidth(), 4);  // "texture128" wins
  EXPECT_TRUE(kept->GetModulate());
  EXPECT_TRUE(kept->GetRepeat());
  EXPECT_EQ(Colour(first, 2001), (std::array<float, 4>{1.0f, 0.5f, 0.1f, 1.0f}));
  EXPECT_EQ(second.GetTextureByCode(2001), kept);

  EXPECT_EQ(first.GetTextureByCode(2002), nullptr);
  EXPECT_EQ(ElementTextures::Map().Find({double(db.Identifier()), double(empty)}), nullptr);
}

}  // namespace
