// The fixture of the top-view element tests: the element factory installed, a recording calculation
// list, and helpers that add the catalogue records an element is built from.
#pragma once

#include <memory>
#include <vector>

#include "catalogue/records/qxAnchorFil.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppEmbeddedData.h"
#include "elements/ElementTestSupport.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace tvtest {

using eltest::BlobField;
using eltest::Words;

class RecordingCalculationList : public iCalculationList {
 public:
  void RemoveElementLines(zelvproElement* element) override { removed.push_back(element); }
  std::vector<zelvproElement*> removed;
};

class TopViewTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    TopViewElementFactory::Install();
    iCalculationList::Install(&lines_);
  }
  void TearDown() override {
    docs_.clear();
    iCalculationList::Install(nullptr);
    SetElementFactory(nullptr);
    zelvproTopViewElement::SetChildMerge(false);
    ElementTest::TearDown();
  }

  static int32_t AddTopView(zelvDatabase& db, cattest::Fields fields,
                            std::initializer_list<BlobField> blobs = {}) {
    return eltest::AddRecordWith(db.TopViewFile(), fields, blobs);
  }
  static int32_t AddUnit(zelvDatabase& db, cattest::Fields fields,
                         std::initializer_list<BlobField> blobs = {}) {
    return eltest::AddRecordWith(db.UnitFile(), fields, blobs);
  }
  static int32_t AddClass(zelvDatabase& db, int32_t id, int32_t flags, int32_t type = 0) {
    return cattest::AddRecord(db.ClassFile(), {{"id", id}, {"flags", flags}, {"type", type}});
  }
  // A colour code of stored id `id` (its colour group) allowing `colours` (empty: every colour).
  static int32_t AddColourCode(zelvDatabase& db, int32_t id, int32_t defaultColour, Words colours = {},
                               const char* name = "") {
    db.ColorCodeFile().ClearRecordBuffer(nullptr);
    cattest::SetField(db.ColorCodeFile(), "id", id);
    cattest::SetField(db.ColorCodeFile(), "defaultColor", defaultColour);
    cattest::SetField(db.ColorCodeFile(), "name", name);
    cattest::SetWords(db.ColorCodeFile(), "colors", colours);
    int32_t record = 0;
    db.ColorCodeFile().AddRecord(&record, nullptr);
    return record;
  }
  static int32_t AddColour(zelvDatabase& db, int32_t id, const char* name = "") {
    return cattest::AddRecord(db.ColorCatalogFile(), {{"id", id}, {"name", name}});
  }
  // A shape with `points` (x, y pairs).
  static int32_t AddShape(zelvDatabase& db, std::vector<float> points) {
    Words words;
    for (float p : points) words.push_back(eltest::FloatWord(p));
    return eltest::AddRecordWith(db.ShapeFile(), {}, {{"points", words}});
  }

  struct Anchor {
    int32_t eye, hook, classKey;
    float x, z;
  };
  // A unit with the anchors given (an embedded "qxAnchor" table in its "anchors" blob).
  static int32_t AddUnitWithAnchors(zelvDatabase& db, std::initializer_list<Anchor> anchors) {
    zelvproUnitFil& units = db.UnitFile();
    units.ClearRecordBuffer(nullptr);
    ppEmbeddedData table(qxAnchorFil::kLayout, db,
                         RecordField(units, "anchors").Data(units.GetRecordBuffer()), nullptr);
    for (const Anchor& a : anchors) {
      table.ClearRecordBuffer(nullptr);
      cattest::Fields fields = {
          {"eye", a.eye}, {"hook", a.hook}, {"class", a.classKey}, {"position.x", a.x}, {"position.z", a.z}};
      for (const auto& [name, value] : fields) cattest::SetField(table, name, value);
      table.InsertRecordAt(-1, nullptr);
    }
    table.SaveToBlob();
    int32_t id = 0;
    units.AddRecord(&id, nullptr);
    return id;
  }

  // A new element of top-view record `topView` (through the catalogue's factory), owned by `parent`
  // when given.
  static zelvproTopViewElement* Make(zelvDatabase& db, int32_t topView, zelvproElement* parent = nullptr) {
    return dynamic_cast<zelvproTopViewElement*>(
        db.TopViewFile().CreateElement(topView, eltest::Rect(0, 0, 100, 100), parent));
  }
  static std::unique_ptr<zelvproTopViewElement> MakeOwned(zelvDatabase& db, int32_t topView) {
    return std::unique_ptr<zelvproTopViewElement>(Make(db, topView));
  }

  // The document-module table of a new document of `db`, its buffer cleared and naming `db`.
  zelvproDocModuleFil& Module(zelvDatabase& db) {
    docs_.push_back(std::make_unique<zelvproDocFil>(db));
    zelvproDocModuleFil& module = docs_.back()->FurnitureTable();
    module.ClearRecordBuffer(nullptr);
    cattest::SetField(module, "database", db.Identifier());
    return module;
  }

  RecordingCalculationList lines_;
  std::vector<std::unique_ptr<zelvproDocFil>> docs_;
};

}  // namespace tvtest
