// Selection of elements with their children and associated elements, the corner handles, the click
// on the headless desktop (keys injected, the layer's clock advanced by hand), containers under a
// point and the collections into holder chains.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/ElementTestSupport.h"
#include "elements/base/qxViewHolder.h"
#include "framework/ppMouseTask.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"

namespace {

using eltest::Rect;

class ElementSelectionTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    plat::LayerClock::SetManual(10'000);
    host_.pane = &pane_;
    host_.canvas3D = &canvas3D_;
    host_.editorCanvas = &editor_;
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  zelvproElement* Add(ppView* parent, const plat::RECT& frame) {
    return new zelvproElement(0, parent, frame, nullptr, 0, 0);
  }
  static void Hold(int32_t key, bool down) { plat::Desktop::Key(key, down); }

  std::unique_ptr<eltest::RecordingCanvas> canvas_ =
      std::make_unique<eltest::RecordingCanvas>(Rect(0, 0, 1000, 1000));
  eltest::RecordingPane pane_;
  eltest::CommandRecorder canvas3D_, editor_;
};

TEST_F(ElementSelectionTest, CornerHandlesAreBoxesWithoutTheirRightAndBottomEdges) {
  zelvproElement* element = Add(canvas_.get(), Rect(100, 100, 200, 150));
  const struct {
    int32_t x, y, handle;
  } cases[] = {{98, 97, 1},   {97, 97, 0},   {203, 100, 0}, {203, 153, 4},
               {100, 150, 3}, {100, 153, 0}, {202, 102, 2}};
  for (const auto& c : cases) EXPECT_EQ(element->HitTestHandle(c.x, c.y), c.handle) << c.x << ", " << c.y;
}

TEST_F(ElementSelectionTest, SelectingAGroupSelectsItsTreeAndAssociatesAndTellsBothCanvasesPerElement) {
  zelvproElement* group = Add(canvas_.get(), Rect(0, 0, 100, 100));
  zelvproElement* first = Add(group, Rect(0, 0, 10, 10));
  zelvproElement* second = Add(group, Rect(20, 0, 30, 10));
  zelvproElement* associated = Add(canvas_.get(), Rect(200, 0, 210, 10));
  group->AddAssociate(associated);
  associated->AddAssociate(group);  // links both ways end at already selected elements

  group->Select(true);
  for (zelvproElement* e : {group, first, second, associated}) {
    EXPECT_TRUE(e->IsSelected());
    EXPECT_EQ(e->stateBits & zelvproElement::kSelectedState, zelvproElement::kSelectedState);
  }
  EXPECT_EQ(canvas3D_.CountOf(3083), 4);
  EXPECT_EQ(editor_.CountOf(3083), 4);
  EXPECT_EQ(canvas_->updates, 4);
  EXPECT_FALSE(host_.editorRegions.empty());

  // Deselecting an unselected group still deselects a selected child.
  group->Deselect(false);
  EXPECT_EQ(canvas3D_.CountOf(3083), 8);
  first->Select(false);
  group->Deselect(false);
  for (zelvproElement* e : {group, first, second, associated}) {
    EXPECT_FALSE(e->IsSelected());
    EXPECT_EQ(e->stateBits & zelvproElement::kSelectedState, 0u);
  }

  // With Alt held the canvas is not asked to update.
  Hold(plat::VK_MENU, true);
  second->Select(false);
  EXPECT_EQ(canvas_->updates, 5);
}

TEST_F(ElementSelectionTest, ClicksSelectDeselectAndStartDragsAsViewKeysAndTimingSay) {
  // A window under the press, so that a released button queues its message.
  plat::WNDCLASSA wc{};
  wc.lpfnWndProc = [](plat::HWND w, plat::UINT m, plat::WPARAM wp, plat::LPARAM lp) {
    return plat::DefWindowProcA(w, m, wp, lp);
  };
  wc.lpszClassName = "ClickSurface";
  plat::RegisterClassA(&wc);
  plat::CreateWindowExA(0, "ClickSurface", "", plat::WS_VISIBLE, 0, 0, 1000, 1000, nullptr, nullptr, nullptr,
                        nullptr);
  plat::HeadlessDriver::RunUntilIdle();
  const plat::POINT press{150, 125};
  const struct {
    const char* name;
    int32_t viewId, canvasType;
    bool preselected, locked, shift, alt, released;
    uint32_t msSinceLast;
    bool handled, selectedAfter;
    int32_t deselectAll, drags, updates;
  } cases[] = {
      {"3D view, plan element", 2024, 0, false, false, false, false, false, 1000, false, false, 0, 0, 0},
      {"other plan view, its element", 2020, 1, false, false, false, false, false, 1000, true, true, 1, 1, 1},
      {"plain click", 2016, 0, false, false, false, false, false, 1000, true, true, 1, 1, 1},
      {"shift adds", 2016, 0, false, false, true, false, false, 1000, true, true, 0, 1, 1},
      {"shift removes", 2016, 0, true, false, true, false, false, 1000, true, false, 0, 1, 0},
      {"click on selected", 2016, 0, true, false, false, false, false, 1000, true, true, 0, 1, 1},
      {"second click within 30 ticks", 2016, 0, true, false, false, false, false, 400, true, true, 0, 1, 0},
      {"alt click on selected", 2016, 0, true, false, false, true, false, 1000, true, true, 0, 1, 0},
      {"released within 5 ticks", 2016, 0, false, false, false, false, true, 1000, true, true, 1, 0, 1},
      {"locked element", 2016, 0, false, true, false, false, false, 1000, true, true, 1, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plat::LayerClock::SetManual(10'000);
    canvas_ = std::make_unique<eltest::RecordingCanvas>(Rect(0, 0, 1000, 1000));
    zelvproElement* element = Add(canvas_.get(), Rect(100, 100, 200, 150));
    host_.viewId = c.viewId;
    host_.editorRegions.clear();
    element->canvasType = c.canvasType;
    element->selected = c.preselected;
    element->locked = c.locked;
    Hold(plat::VK_SHIFT, c.shift);
    Hold(plat::VK_MENU, c.alt);
    if (c.released) plat::Desktop::MouseButton(plat::VK_LBUTTON, false, press);
    plat::LayerClock::Advance(c.msSinceLast);
    const uint32_t before = ppMouseTask::GetTicks();

    EXPECT_EQ(canvas_->MouseDown(press.x, press.y), c.handled);
    EXPECT_EQ(element->IsSelected(), c.selectedAfter);
    const auto count = [&](int32_t id) {
      return int32_t(std::count(canvas_->commands.begin(), canvas_->commands.end(), id));
    };
    EXPECT_EQ(count(204), c.deselectAll);
    EXPECT_EQ(count(1000), c.drags);
    EXPECT_EQ(canvas_->updates, c.updates);
    plat::HeadlessDriver::RunUntilIdle();
    if (!c.handled) continue;
    EXPECT_EQ(host_.lastClicked, element);
    EXPECT_GE(ppMouseTask::GetTicks() - before, 5u);
    if (c.drags != 0) {
      EXPECT_EQ(canvas_->dragPoint.x, press.x);
      EXPECT_EQ(canvas_->dragPoint.y, press.y);
    } else {
      // The refresh reached the plan editor with the element's frame.
      ASSERT_FALSE(host_.editorRegions.empty());
      const plat::RECT last = host_.editorRegions.back();
      EXPECT_EQ(last.left, 100);
      EXPECT_EQ(last.bottom, 150);
    }
  }
}

TEST_F(ElementSelectionTest, APressOnACornerHandleNeitherWaitsNorDrags) {
  zelvproElement* element = Add(canvas_.get(), Rect(100, 100, 200, 150));
  plat::LayerClock::Advance(1000);
  const uint32_t before = plat::LayerClock::Now();
  EXPECT_TRUE(element->MouseDown(100, 100));
  EXPECT_EQ(plat::LayerClock::Now(), before);
  EXPECT_EQ(std::count(canvas_->commands.begin(), canvas_->commands.end(), 1000), 0);
  EXPECT_EQ(pane_.outOfDate + int32_t(host_.editorRegions.size()), 1);
}

class Accepting : public zelvproElement {
 public:
  Accepting(ppView* parent, const plat::RECT& frame) : zelvproElement(0, parent, frame, nullptr, 0, 0) {}
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return true; }
};

TEST_F(ElementSelectionTest, ContainersUnderAPointNeverIncludeThePlacedElementOrLockedChildren) {
  auto* box = new Accepting(canvas_.get(), Rect(100, 100, 300, 300));
  auto* inner = new Accepting(box, Rect(50, 50, 100, 100));  // window pixels 150..200
  zelvproElement placed(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0);
  EXPECT_EQ(canvas_->FindContainerFor(160, 160, 0, &placed), inner);
  EXPECT_EQ(canvas_->FindContainerFor(160, 160, 0, inner), box);
  EXPECT_EQ(canvas_->FindContainerFor(160, 160, 0, box), canvas_.get());
  EXPECT_EQ(canvas_->FindContainerFor(160, 160, 0, canvas_.get()), nullptr);
  EXPECT_EQ(canvas_->FindContainerFor(50, 50, 0, &placed), canvas_.get());
  inner->lockedChildBits = 2;
  EXPECT_FALSE(inner->ContainsPoint(160, 160));
  EXPECT_EQ(canvas_->FindContainerFor(160, 160, 0, &placed), box);
  EXPECT_EQ(canvas_->FindViewAt(160, 160), box);
}

TEST_F(ElementSelectionTest, CollectionsSkipLockedExcludedAndTheTreeBelowATakenElement) {
  zelvproElement* group = Add(canvas_.get(), Rect(0, 0, 10, 10));
  zelvproElement* inGroup = Add(group, Rect(0, 0, 5, 5));
  zelvproElement* lockedOne = Add(canvas_.get(), Rect(0, 0, 10, 10));
  zelvproElement* plain = Add(canvas_.get(), Rect(0, 0, 10, 10));
  zelvproElement* belowPlain = Add(plain, Rect(0, 0, 5, 5));
  zelvproElement* excluded = Add(canvas_.get(), Rect(0, 0, 10, 10));
  for (zelvproElement* e : {group, inGroup, lockedOne, belowPlain, excluded}) e->selected = 1;
  lockedOne->locked = 1;
  std::unique_ptr<qxViewHolder> exclusion(new qxViewHolder(excluded, nullptr, false));
  qxViewHolder::SetExclusionChain(exclusion.get());

  const auto elementsOf = [](qxViewHolder* chain) {
    ElementList out;
    for (qxViewHolder* h = chain; h != nullptr; h = h->Next()) out.push_back(h->Element());
    return out;
  };
  std::unique_ptr<qxViewHolder> unlocked(canvas_->CollectSelection(nullptr, true));
  EXPECT_EQ(elementsOf(unlocked.get()), (ElementList{belowPlain, group}));
  std::unique_ptr<qxViewHolder> all(canvas_->CollectSelection(nullptr, false));
  EXPECT_EQ(elementsOf(all.get()), (ElementList{belowPlain, lockedOne, group}));

  std::unique_ptr<qxViewHolder> filter(new qxViewHolder(plain, nullptr, false));
  std::unique_ptr<qxViewHolder> tree(group->CollectTree(nullptr, nullptr));
  EXPECT_EQ(elementsOf(tree.get()), (ElementList{inGroup, group}));
  std::unique_ptr<qxViewHolder> rest(canvas_->CollectTree(nullptr, filter.get()));
  EXPECT_EQ(elementsOf(rest.get()), (ElementList{belowPlain, lockedOne, inGroup, group, canvas_.get()}));
  qxViewHolder::SetExclusionChain(nullptr);
}

// Records where it was saved and appends one record to the copy.
class Saving : public zelvproElement {
 public:
  explicit Saving(ppView* parent) : zelvproElement(0, parent, Rect(0, 0, 1, 1), nullptr, 0, 0) {}
  void SaveTree(ppDatafile& module, bool renumber, int32_t parentNumber) override {
    savedUnder = renumber ? parentNumber : -2;
    module.InsertRecordAt(-1, nullptr);
  }
  int32_t savedUnder = -1;
};

TEST_F(ElementSelectionTest, CopyingTakesTheSelectedChildrenOrTheFirstSubtreeWithASelection) {
  zelvDatabase& db = MakeDatabase();
  zelvproDocFil doc(db);
  host_.copyFile = &doc.FurnitureTable();
  zelvproDocModuleFil& copy = doc.FurnitureTable();
  host_.palette = std::make_unique<zelvproLayerPalette>();
  auto* empty = new Saving(canvas_.get());
  auto* group = new Saving(canvas_.get());
  auto* inGroup = new Saving(group);
  auto* later = new Saving(canvas_.get());
  auto* inLater = new Saving(later);
  inGroup->selected = inLater->selected = 1;

  canvas_->SaveSelection();
  EXPECT_EQ(inGroup->savedUnder, group->GetSaveId());
  EXPECT_EQ(inLater->savedUnder, -1);  // the copy already held a record
  EXPECT_EQ(empty->savedUnder, -1);
  EXPECT_EQ(copy.GetSelectedCount(), 1);
  EXPECT_EQ(host_.pasteOffset, 250.0f);
  copy.DisposeRecords();
}

}  // namespace
