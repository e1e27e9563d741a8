// The element's document records: a tree saved depth first with parent numbers, renumbering, the
// stored catalogue ids and links, and the colour record rules.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/ElementTestSupport.h"

namespace {

using cattest::AddRecord;
using cattest::LongField;
using eltest::Rect;

class ElementRecordsTest : public eltest::ElementTest {
 protected:
  void TearDown() override {
    doc_.reset();
    ElementTest::TearDown();
  }
  zelvproDocModuleFil& Module(zelvDatabase& db) {
    doc_ = std::make_unique<zelvproDocFil>(db);
    return doc_->FurnitureTable();
  }
  // Field `name` of record i of the module.
  static int32_t At(zelvproDocModuleFil& module, int32_t i, const char* name) {
    module.ReadRecordAt(i, nullptr);
    return LongField(module, name);
  }
  std::unique_ptr<zelvproDocFil> doc_;
};

TEST_F(ElementRecordsTest, ATreeIsSavedParentFirstAndReadsBack) {
  zelvDatabase& db = MakeDatabase();
  const int32_t topView = AddRecord(db.TopViewFile(), {{"ID", 501}});
  const int32_t colour = AddRecord(db.ColorCatalogFile(), {{"id", 77}});
  zelvproElement canvas(0, nullptr, Rect(0, 0, 800, 600), nullptr, 0, 0);
  canvas.saveId = 40;
  auto* group = new zelvproElement(topView, &canvas, Rect(10, 20, 110, 80), &db, 0, 0);
  auto* a = new zelvproElement(0, group, Rect(0, 0, 5, 5), &db, 0, 0);
  auto* b = new zelvproElement(0, group, Rect(0, 0, 5, 5), &db, 0, 0);
  group->saveId = 7, a->saveId = 8, b->saveId = 9;
  group->colorRecordId = colour;
  group->position = ppVector3(1200.5f, 30.0f, -450.25f);
  group->angle = 1.5f;
  group->lockedChildBits = 3;
  group->extraA = 2;
  a->AddAssociate(b);

  zelvproDocModuleFil& module = Module(db);
  group->SaveTree(module, false, 0);
  ASSERT_EQ(module.GetRecordCount(), 3);
  const int32_t kIds[][2] = {{7, 40}, {8, 7}, {9, 7}};  // id, parent
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(At(module, i, "id"), kIds[i][0]);
    EXPECT_EQ(LongField(module, "parent"), kIds[i][1]) << i;
    EXPECT_EQ(LongField(module, "database"), db.Identifier());
  }
  EXPECT_EQ(At(module, 0, "recID"), 501);
  EXPECT_EQ(LongField(module, "color"), 77);
  EXPECT_EQ(LongField(module, "lockedChild"), 0x24);
  EXPECT_EQ(RecordField(module, "associates").Words(module.GetRecordBuffer()).size(), 0u);
  EXPECT_EQ(At(module, 1, "recID"), 0);
  EXPECT_EQ(LongField(module, "color"), 0);
  EXPECT_EQ(RecordField(module, "associates").Words(module.GetRecordBuffer()), std::vector<int32_t>{9});

  // What the loaded constructor reads back is what was saved.
  module.ReadRecordAt(0, nullptr);
  zelvproElement loaded(nullptr, module, false);
  EXPECT_EQ(loaded.recordId, topView);
  EXPECT_EQ(loaded.colorRecordId, colour);
  EXPECT_EQ(loaded.position.x, 1200.5f);
  EXPECT_EQ(loaded.position.z, -450.25f);
  EXPECT_EQ(loaded.angle, 1.5f);
  EXPECT_EQ(loaded.lockedChildBits, 3);
  EXPECT_EQ(loaded.extraA, 2);
  EXPECT_EQ(loaded.GetFrame().right, 110);

  // Renumbered: new consecutive ids from the palette, the children's parent follows them, and
  // LoadFromRecord takes a new number instead of the stored one.
  host_.palette = std::make_unique<zelvproLayerPalette>();
  zelvproDocModuleFil& renumbered = Module(db);
  group->SaveTree(renumbered, true, 0);
  const int32_t kNew[][2] = {{1, 40}, {2, 1}, {3, 1}};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(At(renumbered, i, "id"), kNew[i][0]);
    EXPECT_EQ(LongField(renumbered, "parent"), kNew[i][1]) << i;
  }
  renumbered.ReadRecordAt(0, nullptr);
  loaded.LoadFromRecord(renumbered);
  EXPECT_EQ(loaded.saveId, 4);
}

// Before a save the tree is numbered afresh from the running number, depth first from the canvas,
// whatever numbers it held (twins, none, the largest); the records then carry the new numbers, the
// child names its parent's and a link names the linked element's.
TEST_F(ElementRecordsTest, BeforeASaveTheTreeIsRenumberedFromTheRunningNumber) {
  struct Case {
    const char* what;
    int32_t root;
    std::vector<int32_t> before;  // depth first below the root: a, its child a1, b, c
  } const kCases[] = {
      {"unique numbers", 0, {4, 9, 2, 5}},
      {"twins", 0, {4, 9, 4, 5}},
      {"a child sharing the canvas's number", 6, {6, 3, 2, 1}},
      {"no number below the root", 0, {0, 0, 3, 3}},
      {"the largest number in use", 0, {INT32_MAX, 1, INT32_MAX, 2}},
  };
  zelvDatabase& db = MakeDatabase();
  for (const Case& c : kCases) {
    host_.palette = std::make_unique<zelvproLayerPalette>();
    zelvproElement canvas(0, nullptr, Rect(0, 0, 800, 600), nullptr, 0, 0);
    auto* a = new zelvproElement(0, &canvas, Rect(0, 0, 5, 5), nullptr, 0, 0);
    auto* a1 = new zelvproElement(0, a, Rect(0, 0, 5, 5), nullptr, 0, 0);
    auto* b = new zelvproElement(0, &canvas, Rect(0, 0, 5, 5), nullptr, 0, 0);
    auto* last = new zelvproElement(0, &canvas, Rect(0, 0, 5, 5), nullptr, 0, 0);
    a1->AddAssociate(last);
    const std::vector<zelvproElement*> elements{a, a1, b, last};
    while (host_.palette->NextId() < 49) {
    }  // the counter stands at 50
    canvas.saveId = c.root;
    for (size_t i = 0; i < elements.size(); ++i) elements[i]->saveId = c.before[i];
    canvas.RenumberSaveIds();
    std::vector<int32_t> after;
    for (zelvproElement* e : elements) after.push_back(e->saveId);
    EXPECT_EQ(canvas.saveId, 50) << c.what;
    EXPECT_EQ(after, (std::vector<int32_t>{51, 52, 53, 54})) << c.what;
    EXPECT_EQ(host_.palette->NextId(), 55) << c.what << ": the counter only moves on";
    // Saved as they are, the records carry those numbers.
    zelvproDocModuleFil& module = Module(db);
    canvas.SaveTree(module, false, 0);
    ASSERT_EQ(module.GetRecordCount(), 5) << c.what;
    EXPECT_EQ(At(module, 2, "id"), 52) << c.what;
    EXPECT_EQ(LongField(module, "parent"), 51) << c.what;
    EXPECT_EQ(RecordField(module, "associates").Words(module.GetRecordBuffer()), std::vector<int32_t>{54})
        << c.what;
  }
}

// Accepts only the colours of its set; anything else validates to the first of them.
class PickyElement : public zelvproElement {
 public:
  PickyElement(zelvDatabase* db, std::set<int32_t> accepted)
      : zelvproElement(0, nullptr, plat::RECT{}, db, 0, 0), accepted_(std::move(accepted)) {}
  int32_t ValidateColorRecord(int32_t id, int32_t) override {
    return accepted_.count(id) != 0 ? id : *accepted_.begin();
  }

 private:
  std::set<int32_t> accepted_;
};

TEST_F(ElementRecordsTest, ApplyingAColourKeepsAValidCurrentColour) {
  zelvDatabase& db = MakeDatabase();
  zelvDatabase& other = MakeDatabase("other.cdb");
  const struct {
    int32_t current, applied;
    zelvDatabase* owner;
    int32_t expected;
    bool redraw;
  } kCases[] = {
      {5, 6, &db, 6, true},      // taken
      {5, 9, &db, 5, false},     // refused, the current colour is valid: it stays
      {8, 9, &db, 5, true},      // refused and the current one is invalid: the candidate
      {5, 6, &other, 5, false},  // another catalogue's colour: untouched
      {5, 0, &db, 5, false},     // no colour
  };
  for (const auto& c : kCases) {
    PickyElement element(&db, {5, 6});
    element.colorRecordId = c.current;
    element.ApplyColorRecord(c.applied, c.owner, 0);
    EXPECT_EQ(element.colorRecordId, c.expected) << c.current << " " << c.applied;
    EXPECT_EQ(element.needsRedraw != 0, c.redraw) << c.current << " " << c.applied;
  }
  EXPECT_EQ(db.CurrentColorId(), 9);
}

TEST_F(ElementRecordsTest, ColourGroupBitsWrapAtThirtyTwo) {
  zelvproElement group(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  auto* child = new zelvproElement(0, &group, Rect(0, 0, 1, 1), nullptr, 0, 0);
  group.extraA = 1;
  child->extraA = 0;
  EXPECT_EQ(group.CollectBitMask(false), 0x1u);
  EXPECT_EQ(group.CollectBitMask(true), 0x80000001u);
  child->extraA = 34;
  EXPECT_EQ(group.CollectBitMask(true), 0x3u);
}

}  // namespace
