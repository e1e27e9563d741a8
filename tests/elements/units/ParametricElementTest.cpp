// The parametric element: outlines, anchors and sub-element entries stretched against the catalogue
// size, the saved "points" blob and its bounded reading, and the depth record a run of linked
// elements chooses.
#include <gtest/gtest.h>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "elements/units/zelvproParametricElement.h"
#include "elements/units/UnitsTestSupport.h"
#include "foundation/HandleRoom.h"

namespace {

using unittest::PointsOf;
using unittest::SnapWords;
using unittest::UnitsTest;
using Element = zelvproParametricElement;

constexpr uint32_t kWidth = Element::kStretchWidth, kDepth = Element::kStretchDepth;
constexpr int32_t kOff = Element::kDisabledCode;

TEST_F(UnitsTest, StretchFollowsTheCatalogueSizePerAxis) {
  zelvDatabase& db = MakeDatabase();
  const eltest::Words anchors = eltest::Join({
      SnapWords(1, 600, 720, 560, 0x70u << 16),  // scaled on every axis
      SnapWords(2, 600, 0, 0, 0x101u << 16),     // offset in x, off while x is stretched
      SnapWords(3, 0, 0, 560, 0x400u << 16),     // off while z is stretched
      SnapWords(4, 10, 0, 0, 0),                 // no rule
  });
  struct Case {
    const char* what;
    float depth;  // the catalogue depth
    ppVector3 size;
    std::vector<float> outline;
    std::vector<int32_t> codes;
    std::vector<ppVector3> points;
    ppVector3 subEntry;  // (100, 0, 100) with flags 0x11 | 0x44
  } cases[] = {
      {"catalogue size",
       560,
       {600, 720, 560},
       {0, 0, 600, 0, 600, 560, 0, 560},
       {1, 2, 3, 4},
       {{600, 720, 560}, {600, 0, 0}, {0, 0, 560}, {10, 0, 0}},
       {100, 0, 100}},
      {"width only",
       560,
       {900, 720, 560},
       {0, 0, 900, 0, 900, 560, 0, 560},
       {1, kOff, 3, 4},
       {{900, 720, 560}, {900, 0, 0}, {0, 0, 560}, {10, 0, 0}},
       {600, 0, 100}},
      // A catalogue item of depth 0 cannot be stretched in depth: factor 1, offset 0.
      {"zero catalogue depth",
       0,
       {600, 720, 300},
       {0, 0, 600, 0, 600, 0, 0, 0},
       {1, 2, 3, 4},
       {{600, 720, 560}, {600, 0, 0}, {0, 0, 560}, {10, 0, 0}},
       {100, 0, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto element = MakeAs<Element>(db, AddItem(db, Element::kType, kWidth | kDepth, anchors, c.depth));
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->kind, 12);
    element->dimensions = c.size;
    element->RefreshSnapEntries();
    element->InvalidateGeometry();
    EXPECT_EQ(PointsOf(element->outlines->cached), c.outline);
    ASSERT_EQ(element->snapPoints.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(element->snapPoints[i].code, c.codes[i]) << i;
      EXPECT_EQ(element->snapPoints[i].point, c.points[i]) << i;
    }
    ppVector3 entry(100, 0, 100);
    element->AdjustSubElementEntry(entry, 0x55);
    EXPECT_EQ(entry, c.subEntry);
  }
  auto element = MakeAs<Element>(db, AddItem(db, Element::kType, 0));
  for (int32_t kind : {0, 1, 5, 12, 1026}) EXPECT_FALSE(element->AcceptsChild(kind, nullptr)) << kind;
  EXPECT_TRUE(element->AcceptsChild(-1, nullptr));
}

TEST_F(UnitsTest, PointsBlobIsWrittenWholeAndReadOnlyAsFarAsItIsWhole) {
  zelvDatabase& db = MakeDatabase();
  auto element = MakeAs<Element>(db, AddItem(db, Element::kType, kWidth));
  const std::vector<uint8_t> blob = Element::EncodeOutlines(element->outlines.get());
  ASSERT_EQ(blob.size(), 40u);
  EXPECT_EQ(std::vector<uint8_t>(blob.begin(), blob.begin() + 4), (std::vector<uint8_t>{0x20, 0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(blob.end() - 4, blob.end()), (std::vector<uint8_t>{0, 0, 0, 0}));

  auto block = [](uint32_t length, size_t bytes) {
    std::vector<uint8_t> out(4 + bytes, 0x11);
    std::memcpy(out.data(), &length, 4);
    return out;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t taken;
  } cases[] = {
      {"empty", {}, 0},
      {"whole", blob, 1},
      {"no end mark", std::vector<uint8_t>(blob.begin(), blob.end() - 4), 1},
      {"length past the end", block(64, 32), 0},
      {"length not a multiple of 8", block(12, 12), 0},
      {"short length word", {0x20, 0}, 0},
  };
  for (const Case& c : cases) {
    auto target = Outline(db, {1, 2, 3, 4});
    EXPECT_EQ(Element::DecodeOutlines(c.bytes.data(), c.bytes.size(), target.get()), c.taken) << c.what;
    EXPECT_EQ(MemGetSize(target->points), c.taken == 1 ? 32 : 16) << c.what;
  }
  // A length the zone cannot hold ends the outlines as a length past the end does; with room, it reads.
  const std::vector<uint8_t> large = block(2u << 20, 2u << 20);
  auto target = Outline(db, {1, 2, 3, 4});
  std::vector<Handle> filler;  // the zone's free space, a megabyte at a time
  while (Handle h = MemTryNew(1u << 20)) filler.push_back(h);
  EXPECT_EQ(Element::DecodeOutlines(large.data(), large.size(), target.get()), 0);
  EXPECT_EQ(MemGetSize(target->points), 16);
  for (Handle h : filler) MemDispose(h);
  EXPECT_EQ(Element::DecodeOutlines(large.data(), large.size(), target.get()), 1);
  EXPECT_EQ(MemGetSize(target->points), int32_t(2u << 20));
}

TEST_F(UnitsTest, SavedElementKeepsStretchedOutlinesAndDepths) {
  zelvDatabase& db = MakeDatabase();
  const int32_t depth = cattest::AddRecord(db.DepthFile(), {{"id", 7}, {"depth", 600.0}});
  auto element = MakeAs<Element>(db, AddItem(db, Element::kType, kWidth | kDepth));
  element->dimensions = ppVector3(900, 720, 600);
  element->SetLinkedRecord(depth);
  element->InvalidateGeometry();
  const std::vector<float> stretched = PointsOf(element->outlines->cached);
  EXPECT_NEAR(stretched[5], 560.0f * 600.0f / 560.0f * 600.0f / 560.0f, 0.01f);

  zelvproDocModuleFil& module = Module(db);
  element->WriteRecord(module, false, 0);
  EXPECT_EQ(RecordField(module, "depthID").Long(module.GetRecordBuffer()), 7);
  Element loaded(nullptr, module, false);
  EXPECT_EQ(PointsOf(loaded.outlines->cached), stretched);
  EXPECT_EQ(loaded.referenceSize, ppVector3(600, 720, 560));
  EXPECT_EQ(loaded.catalogDepth, 560.0f);
  EXPECT_EQ(loaded.currentDepth, 600.0f);
  EXPECT_EQ(loaded.linkedRecord, depth);
  EXPECT_EQ(loaded.accessApplied, 1);
}

TEST_F(UnitsTest, SavedElementKeepsItsName) {
  zelvDatabase& db = MakeDatabase();
  const int32_t item = AddItem(db, Element::kType, 0);
  for (const char* name : {"", "Corner door 90"}) {
    auto element = MakeAs<Element>(db, item);
    element->textA = name;
    zelvproDocModuleFil& module = Module(db);
    element->WriteRecord(module, false, 0);
    EXPECT_EQ(RecordField(module, "name").Text(module.GetRecordBuffer()), Vcon::String(name));
    Element loaded(nullptr, module, false);
    EXPECT_EQ(loaded.textA, Vcon::String(name));
  }
}

TEST_F(UnitsTest, GridContainerCutsTheLinkedDepth) {
  zelvDatabase& db = MakeDatabase();
  const int32_t depth = cattest::AddRecord(db.DepthFile(), {{"id", 7}, {"depth", 600.0}});
  const int32_t sheet = cattest::AddRecord(db.PosSheetFile(), {{"xraster", 100.0}});
  const int32_t grid =
      AddTopView(db, {{"flags", 0x80}, {"posSheet", sheet}, {"xpos", 4}, {"ypos", 5}, {"zpos", 1}});
  constexpr uint32_t kCell = 0x200, kPanel = 0x1000, kInset = 0x2000, kFull = 0x400000;
  // Cuts of the sheet: 19 mm for a full-depth part, 16 mm a step.
  struct Case {
    const char* what;
    uint32_t flags;
    int32_t steps;
    int32_t containerDepth;  // the container's linked record
    float cut;
  } cases[] = {
      {"panel in a cell, two steps", kCell | kPanel, 2, 0, 32},
      // Not inside a compartment: the full-depth flag falls back to the step cut.
      {"full-depth panel at no compartment", kCell | kPanel | kFull, 1, 0, 16},
      {"panel in a cell, no steps", kCell | kPanel, 0, 0, 0},
      {"cell without the panel flag", kCell, 2, 0, 0},
      {"inset part, container with a depth", kInset, 1, depth, 16},
      {"inset part, container without", kInset, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto container = MakeOwned(db, grid);
    container->linkedRecord = c.containerDepth;
    auto* element = dynamic_cast<Element*>(db.TopViewFile().CreateElement(
        AddItem(db, Element::kType, c.flags), eltest::Rect(0, 0, 10, 10), container.get()));
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GridContainer(), container.get());
    element->stepCount = c.steps;
    EXPECT_EQ(element->DepthCut(*container, 19.0, 16.0), c.cut);
    // This sheet gives no cuts: a linked depth stays whole.
    element->SetLinkedRecord(depth);
    EXPECT_EQ(element->currentDepth, 600.0f);
    EXPECT_EQ(db.CurrentDepthId(), depth);
  }
  auto plain = MakeAs<Element>(db, AddItem(db, Element::kType, kCell | kPanel));
  EXPECT_EQ(plain->GridContainer(), nullptr);
}

TEST_F(UnitsTest, SelectingMovingOrConfiguringRederivesTheAnchors) {
  zelvDatabase& db = MakeDatabase();
  const int32_t item =
      AddItem(db, Element::kType, kWidth, eltest::Join({SnapWords(2, 600, 0, 0, 0x101u << 16)}));
  struct Case {
    const char* what;
    void (*trigger)(Element&);
  } cases[] = {
      {"select", [](Element& e) { e.Select(false); }},
      {"move", [](Element& e) { e.AfterMove(); }},
      {"drop", [](Element& e) { e.AfterPlace(); }},
      {"configuration", [](Element& e) { e.RunConfigurationPass(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto element = MakeAs<Element>(db, item);
    element->dimensions.x = 900;
    c.trigger(*element);
    ASSERT_EQ(element->snapPoints.size(), 1u);
    EXPECT_EQ(element->snapPoints[0].code, kOff);
    EXPECT_EQ(element->snapPoints[0].point, ppVector3(900, 0, 0));
  }
}

// Records every depth record the element links.
class LinkRecorder : public Element {
 public:
  using Element::Element;
  void SetLinkedRecord(int32_t id) override {
    linked.push_back(id);
    Element::SetLinkedRecord(id);
  }
  std::vector<int32_t> linked;
};

TEST_F(UnitsTest, RunLengthLinksEachDeeperRecordThatFitsTheRun) {
  zelvDatabase& db = MakeDatabase();
  std::vector<int32_t> depths;
  // The file goes through its records in the order of their "id".
  for (double d : {300.0, 560.0, 600.0, 610.0})
    depths.push_back(cattest::AddRecord(db.DepthFile(), {{"id", int32_t(depths.size()) + 1}, {"depth", d}}));
  const int32_t item = AddItem(db, Element::kType, 0);
  for (bool startsRun : {true, false}) {
    db.SetCurrentDepthId(0);  // a linked depth is what new elements start with
    db.TopViewFile().ReadRecord(item, nullptr);
    LinkRecorder element(item, nullptr, eltest::Rect(0, 0, 10, 10), db.TopViewFile().GetRecordBuffer(),
                         db.ShapeFile());
    auto partner = MakeOwned(db, AddTopView(db, {}));
    // The run: 596 mm from the start anchor to the end anchor, whose partner leads back to the
    // partner itself (the run must stop there).
    partner->snapPoints = {SnapAnchor{1, {2, 0, 0}, 0, 0, Element::kRunEnd, 0, nullptr},
                           SnapAnchor{-1, {598, 0, 0}, 0, 0, Element::kRunEnd, 0, partner.get()}};
    element.snapPoints = {SnapAnchor{9, {}, 0, 0, startsRun ? Element::kRunStart : 0u, 0, partner.get()}};
    element.PushAccessRequest(0, 0, 0, nullptr);
    const std::vector<int32_t> expected =
        startsRun ? std::vector<int32_t>{depths[0], depths[1], depths[2]} : std::vector<int32_t>{};
    EXPECT_EQ(element.linked, expected);
    EXPECT_EQ(element.currentDepth, startsRun ? 600.0f : 560.0f);
    element.snapPoints.clear();
  }
}

TEST_F(UnitsTest, GeneratedPartsFollowTheStretchedWidth) {
  zelvDatabase& db = MakeDatabase();
  auto floats = [](std::initializer_list<float> values) {
    eltest::Words words;
    for (float v : values) words.push_back(eltest::FloatWord(v));
    return words;
  };
  // A strip whose right-hand points shift with the width.
  const int32_t strip = eltest::AddRecordWith(
      db.ShapeFile(), {{"name", "s"}},
      {{"points", floats({0, 0, 600, 0, 600, 100, 0, 100})}, {"attributes", {0, 2, 2, 0}}});
  const eltest::Words facet =
      eltest::Join({{strip, 0}, floats({0, 0, 0, 0, 0, 0}), {1, 0, 0, 0, 0}, floats({0})});
  const int32_t parametric = eltest::AddRecordWith(
      db.ParametricFile(), {{"name", "p"}, {"width", 600.0}, {"height", 720.0}, {"depth", 560.0}},
      {{"facets", facet}});
  const eltest::Words placement =
      eltest::Join({{parametric}, floats({0, 0, 0, 0, 0, 0, 600, 720, 560}), {0}});
  const int32_t unit =
      AddUnit(db, {{"useParametrics", 1}, {"width", 600.0}, {"height", 720.0}, {"depth", 560.0}},
              {{"parametrics", placement}});
  const int32_t item = AddTopView(db,
                                  {{"Type", Element::kType},
                                   {"flags", int32_t(kWidth)},
                                   {"width", 600.0},
                                   {"height", 720.0},
                                   {"depth", 560.0}},
                                  {{"Units", {unit, 0}}});
  auto element = MakeAs<Element>(db, item);
  ASSERT_NE(element, nullptr);
  for (float width : {600.0f, 900.0f, 450.0f}) {
    element->dimensions.x = width;
    element->InvalidateGeometry();
    element->changed = 1;
    EXPECT_FLOAT_EQ(2.0f * element->GetBounds(0, 0).half.x, width);
  }
}

}  // namespace
