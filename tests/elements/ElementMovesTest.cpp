// Element moves: arrow-key nudges, the 3D view's step commands and pixel moves, which carry the
// position in millimetres at the plan scale (15 mm per pixel at start).
#include <gtest/gtest.h>

#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/ElementTestSupport.h"
#include "elements/base/qxViewHolder.h"
#include "platform/InputState.h"
#include "platform/WindowTypes.h"

namespace {

using eltest::Rect;

class ElementMovesTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    host_.pane = &pane_;
    canvas_ = std::make_unique<zelvproElement>(0, nullptr, Rect(0, 0, 800, 600), nullptr, 0, 0);
    element_ = new zelvproElement(0, canvas_.get(), Rect(100, 100, 140, 120), nullptr, 0, 0);
    element_->position = ppVector3(1500.0f, 0.0f, 1500.0f);
    host_.topCanvas = canvas_.get();
  }
  void TearDown() override {
    plat::InputState::Reset();
    canvas_.reset();
    ElementTest::TearDown();
  }
  eltest::RecordingPane pane_;
  std::unique_ptr<zelvproElement> canvas_;
  zelvproElement* element_ = nullptr;
};

TEST_F(ElementMovesTest, ArrowKeysMoveOnlyASelectedFreeElement) {
  const struct {
    uint8_t selected, locked;
    int32_t lockedChildBits;
    uint32_t flags;
    bool shift;
    int32_t key;
    float x, z;  // expected position, millimetres
    bool refreshed;
  } kCases[] = {
      {1, 0, 0, 0, false, 0x25, 1425.0f, 1500.0f, true},  // left by 5 pixels
      {1, 0, 0, 0, true, 0x28, 1500.0f, 1515.0f, true},   // down by 1 pixel with Shift
      {1, 0, 0, 0, false, 0x27, 1575.0f, 1500.0f, true},
      {1, 0, 0, 0, false, 0x26, 1500.0f, 1425.0f, true},
      {1, 1, 0, 0, false, 0x25, 1500.0f, 1500.0f, false},  // locked: no move, no refresh
      {0, 0, 0, 0, false, 0x25, 1500.0f, 1500.0f, true},   // not selected
      {1, 0, 2, 0, false, 0x25, 1500.0f, 1500.0f, true},   // a locked child
      {1, 0, 0, 0x200, false, 0x25, 1500.0f, 1500.0f, true},
  };
  for (const auto& c : kCases) {
    element_->position = ppVector3(1500.0f, 0.0f, 1500.0f);
    element_->selected = c.selected, element_->locked = c.locked;
    element_->lockedChildBits = c.lockedChildBits, element_->flags = c.flags;
    plat::InputState::SetDown(plat::VK_SHIFT, c.shift);
    const int32_t before = pane_.outOfDate + pane_.invalidated;
    element_->MarkTreePendingUpdate();
    element_->NudgeByKey(c.key);
    EXPECT_FLOAT_EQ(element_->position.x, c.x) << int(c.key) << " " << c.shift;
    EXPECT_FLOAT_EQ(element_->position.z, c.z) << int(c.key) << " " << c.shift;
    EXPECT_EQ(pane_.outOfDate + pane_.invalidated > before, c.refreshed) << int(c.locked);
  }
  element_->MoveBy(0, 0);
  EXPECT_FLOAT_EQ(element_->position.x, 1500.0f);
}

TEST_F(ElementMovesTest, StepCommandsOfThe3DViewFollowTheMotionFlag) {
  element_->angle = 0.0f;
  const struct {
    uint32_t motion;
    int32_t command;
    ppVector3 expected;
  } kCases[] = {
      {0, 2201, {1500.0f, 0.0f, 1425.0f}},  // forward: -z at angle 0
      {0, 2205, {1500.0f, 0.0f, 1575.0f}},
      {0, 2209, {1425.0f, 0.0f, 1500.0f}},
      {0, 2213, {1575.0f, 0.0f, 1500.0f}},
      {0, 2217, {1500.0f, 0.0f, 1500.0f}},   // no up and down without the flag
      {4, 2201, {1500.0f, 0.0f, 1500.0f}},   // the flag keeps 2201 and 2205 out
      {4, 2213, {1575.0f, 0.0f, 1500.0f}},   // but not 2209 and 2213
      {4, 2217, {1500.0f, 75.0f, 1500.0f}},  // up by 5 pixels at the plan scale
      {4, 2221, {1500.0f, 0.0f, 1500.0f}},   // never below the floor
  };
  for (const auto& c : kCases) {
    element_->position = ppVector3(1500.0f, 0.0f, 1500.0f);
    element_->motionFlags = c.motion;
    element_->Nudge3D(c.command);
    EXPECT_NEAR(element_->position.x, c.expected.x, 1e-3) << c.command << " " << c.motion;
    EXPECT_NEAR(element_->position.y, c.expected.y, 1e-3) << c.command << " " << c.motion;
    EXPECT_NEAR(element_->position.z, c.expected.z, 1e-3) << c.command << " " << c.motion;
  }
}

TEST_F(ElementMovesTest, DropEntriesAreLookedUpInTheCatalogueRecord) {
  zelvDatabase& db = MakeDatabase();
  zelvproTopViewFil& topViews = db.TopViewFile();
  topViews.ClearRecordBuffer(nullptr);
  cattest::SetWords(topViews, "DropItems", {41, 0, 42, 7});
  int32_t id = 0;
  topViews.AddRecord(&id, nullptr);
  zelvproElement unit(id, nullptr, Rect(0, 0, 1, 1), &db, 0, 0);
  EXPECT_TRUE(unit.HasCatalogEntry(42));
  EXPECT_FALSE(unit.HasCatalogEntry(7));  // a flags word, not an id
  EXPECT_FALSE(unit.HasCatalogEntry(43));
}

TEST_F(ElementMovesTest, DeleteKeysSendTheDeleteCommandWhateverTheSelection) {
  eltest::RecordingCanvas canvas(Rect(0, 0, 800, 600));
  auto* element = new zelvproElement(0, &canvas, Rect(100, 100, 140, 120), nullptr, 0, 0);
  const struct {
    signed char key;
    uint8_t selected, locked;
  } kCases[] = {{0x2E, 0, 0}, {0x08, 0, 0}, {0x2E, 1, 1}, {0x08, 1, 0}};
  for (const auto& c : kCases) {
    canvas.commands.clear();
    element->selected = c.selected, element->locked = c.locked;
    element->KeyDown(c.key, 0);
    EXPECT_EQ(canvas.commands, std::vector<int32_t>{36}) << int(c.key);
  }
}

TEST_F(ElementMovesTest, ArrowKeysMoveEverySelectedFreeElementOfTheCanvas) {
  eltest::RecordingCanvas canvas(Rect(0, 0, 800, 600));
  auto add = [](ppView* parent, uint8_t selected, uint8_t locked) {
    auto* element = new zelvproElement(0, parent, Rect(100, 100, 140, 120), nullptr, 0, 0);
    element->selected = selected, element->locked = locked;
    element->position = ppVector3(1500.0f, 0.0f, 1500.0f);
    return element;
  };
  zelvproElement* selected = add(&canvas, 1, 0);
  zelvproElement* group = add(&canvas, 0, 0);
  zelvproElement* inGroup = add(group, 1, 0);
  zelvproElement* locked = add(&canvas, 1, 1);
  zelvproElement* focus = add(&canvas, 0, 0);  // has the key, is not selected
  focus->KeyDown(0x25, 0);
  EXPECT_FLOAT_EQ(selected->position.x, 1425.0f);
  EXPECT_FLOAT_EQ(inGroup->position.x, 1425.0f);
  for (zelvproElement* still : {group, locked, focus}) EXPECT_FLOAT_EQ(still->position.x, 1500.0f);
}

TEST_F(ElementMovesTest, ASnapRunHoldsEachElementOnceWhateverTheLoops) {
  eltest::RecordingCanvas canvas(Rect(0, 0, 800, 600));
  auto add = [&](std::vector<std::pair<int32_t, ppVector3>> anchors) {
    auto* element = new zelvproElement(0, &canvas, Rect(0, 0, 10, 10), nullptr, 0, 0);
    for (const auto& [code, point] : anchors) {
      SnapAnchor anchor;
      anchor.code = code, anchor.point = point;
      element->snapPoints.push_back(anchor);
    }
    return element;
  };
  const ppVector3 o(0, 0, 0), right(100, 0, 0), corner(100, 0, 100);
  // A ring a -> b -> c -> back to a's point, and d with two anchors within the tolerance of the start.
  zelvproElement* a = add({{1, o}, {2, right}});
  zelvproElement* b = add({{-2, right}, {3, corner}});
  zelvproElement* c = add({{-3, corner}, {-1, o}});
  zelvproElement* d = add({{1, ppVector3(0.4f, 0, 0)}, {1, ppVector3(0, 0, -0.5f)}, {-1, o}});
  zelvproElement* far = add({{1, ppVector3(0.6f, 0, 0)}});  // beyond the tolerance
  std::unique_ptr<qxViewHolder> run(canvas.CollectSnapRun(nullptr, 1, o));
  std::vector<zelvproElement*> held;
  for (qxViewHolder* h = run.get(); h != nullptr; h = h->Next()) held.push_back(h->Element());
  std::sort(held.begin(), held.end());
  std::vector<zelvproElement*> expected{a, b, c, d};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(held, expected);
  EXPECT_FALSE(run->Holds(far));
}

}  // namespace
