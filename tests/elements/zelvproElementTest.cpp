// The element base: what a new element and an element read from a document record start with, and
// that deleting a tree frees children, links and shared cache objects exactly once.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/ElementTestSupport.h"
#include "elements/base/ElementGeometryCache.h"

namespace {

using cattest::AddRecord;
using cattest::SetField;
using eltest::Rect;

class zelvproElementTest : public eltest::ElementTest {};

TEST_F(zelvproElementTest, NewElementsNumberFromThePaletteOnlyOnceItExists) {
  zelvproElement canvas(0, nullptr, Rect(0, 0, 500, 400), nullptr, 0, 0);
  EXPECT_EQ(canvas.saveId, 0);
  host_.palette = std::make_unique<zelvproLayerPalette>();
  EXPECT_EQ(host_.palette->GetScale(), 15.0);
  auto* first = new zelvproElement(7, &canvas, Rect(1, 2, 3, 4), nullptr, 0, 0);
  auto* second = new zelvproElement(8, &canvas, Rect(1, 2, 3, 4), nullptr, 0, 0);
  EXPECT_EQ(first->saveId, 1);
  EXPECT_EQ(second->saveId, 2);
  EXPECT_EQ(first->quantity.ToDouble(), 1.0);
  EXPECT_TRUE(first->price.IsNull());
  EXPECT_EQ(first->interiorLock, 1);
  EXPECT_EQ(first->recordId, 7);
  EXPECT_EQ(first->loadedFromDocument, 0);
  EXPECT_EQ(first->UnitLayer().owner, first);
  EXPECT_EQ(canvas.FindById(2), second);
  EXPECT_EQ(second->GetParentElement(), &canvas);
}

class ElementRecordTest : public eltest::ElementTest {
 protected:
  void TearDown() override {
    doc_.reset();
    ElementTest::TearDown();
  }
  // Reads an element from one document-module record holding `fields`.
  std::unique_ptr<zelvproElement> Load(zelvDatabase& db, cattest::Fields fields) {
    doc_ = std::make_unique<zelvproDocFil>(db);
    zelvproDocModuleFil& plan = doc_->FurnitureTable();
    plan.ClearRecordBuffer(nullptr);
    for (const auto& [name, value] : fields) SetField(plan, name, value);
    return std::make_unique<zelvproElement>(nullptr, plan, false);
  }
  std::unique_ptr<zelvproDocFil> doc_;
};

TEST_F(ElementRecordTest, QuantityPriceAndLockBitsAreNormalised) {
  zelvDatabase& db = MakeDatabase();
  const struct {
    int32_t quantity;
    int64_t customPrice;
    int32_t lockedChild;
    double expectedQuantity;
    uint8_t expectedCustom;
    int32_t expectedBits;
  } kCases[] = {{0, 0, 0x24, 1.0, 0, 3}, {-3, 1, 0x4, 1.0, 1, 1}, {5, 0, 0x20, 5.0, 0, 2}};
  for (const auto& c : kCases) {
    auto element = Load(db, {{"quantity", c.quantity}, {"lockedChild", c.lockedChild}});
    RecordField(doc_->FurnitureTable(), "customPrice")
        .SetMoneyRaw(doc_->FurnitureTable().GetRecordBuffer(), c.customPrice);
    element = std::make_unique<zelvproElement>(nullptr, doc_->FurnitureTable(), false);
    EXPECT_EQ(element->quantity.ToDouble(), c.expectedQuantity) << c.quantity;
    EXPECT_EQ(element->customPriceSet, c.expectedCustom) << c.customPrice;
    EXPECT_EQ(element->lockedChildBits, c.expectedBits) << c.lockedChild;
    EXPECT_EQ(element->loadedFromDocument, 1);
  }
}

TEST_F(ElementRecordTest, StoredIdsAreLookedUpInTheCatalogue) {
  zelvDatabase& db = MakeDatabase();
  AddRecord(db.TopViewFile(), {{"ID", 500}});
  const int32_t topView = AddRecord(db.TopViewFile(), {{"ID", 501}});
  const int32_t colour = AddRecord(db.ColorCatalogFile(), {{"id", 77}});
  auto none = Load(db, {{"database", db.Identifier()}, {"color", 0}, {"unitID", 0}, {"recID", 0}});
  EXPECT_EQ(none->database, &db);
  EXPECT_EQ(none->colorRecordId, 0);
  EXPECT_EQ(none->unitRecordId, 0);
  EXPECT_EQ(none->recordId, 0);
  auto stored = Load(db, {{"database", db.Identifier()},
                          {"recID", 501},
                          {"color", 77},
                          {"id", 9},
                          {"xposition", 100.0},
                          {"yanchor", 20.0},
                          {"extraA", 2}});
  EXPECT_EQ(stored->recordId, topView);
  EXPECT_EQ(stored->colorRecordId, colour);
  EXPECT_EQ(stored->saveId, 9);
  EXPECT_EQ(stored->position.x, 100.0f);
  EXPECT_EQ(stored->anchor.z, 20.0f);
  EXPECT_EQ(stored->UnitLayer().code, 2);
}

TEST_F(zelvproElementTest, DeletingAGroupFreesChildrenLinksAndSharedCachesOnce) {
  zelvproElement outsider(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  ElementGeometryCache shared(false);
  {
    auto group = std::make_unique<zelvproElement>(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
    auto* a = new zelvproElement(3, group.get(), Rect(0, 0, 5, 5), nullptr, 0, 0);
    auto* b = new zelvproElement(3, group.get(), Rect(5, 0, 10, 5), nullptr, 0, 0);
    a->AddAssociate(&outsider);
    b->AddAssociate(a);
    a->SetCachedObject(&shared);
    b->SetCachedObject(&shared);
    b->SetCachedObject(new ElementGeometryCache(true));  // a private one replaces the shared pointer
    a->InvalidateTree();                                 // drops the shared pointer, frees nothing
    EXPECT_EQ(a->CachedObject(), nullptr);
    EXPECT_EQ(a->changed, 1);
    a->SetCachedObject(&shared);
  }
  EXPECT_EQ(outsider.saveId, 0);  // the linked element lives on
  EXPECT_EQ(shared.Count(), 0u);
}

}  // namespace
