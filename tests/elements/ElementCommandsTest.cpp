// The element commands: step keys, the route to the supervisor, the press that starts a mouse task
// (through a task factory double on the headless desktop), locks over the selection and the unit
// generated into a real catalogue's top-view file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/ElementTestSupport.h"
#include "elements/base/qxViewHolder.h"
#include "framework/ppTask.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"

namespace {

using eltest::Rect;

// Records the key presses that reach it.
class KeyElement : public zelvproElement {
 public:
  using zelvproElement::zelvproElement;
  void KeyDown(signed char key, int32_t flags) override { keys.push_back({key, flags}); }
  std::vector<std::pair<int32_t, int32_t>> keys;
};

// An element whose own box is given.
class BoxElement : public zelvproElement {
 public:
  using zelvproElement::zelvproElement;
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override { return box; }
  ppBounds3 box;
};

// A canvas whose duplication of the selection posts one task, as the document window's does.
class CopyingCanvas : public zelvproCanvas {
 public:
  explicit CopyingCanvas(const plat::RECT& frame) : zelvproCanvas(nullptr, frame, nullptr) {}
  void LoadDocumentModules(int32_t flag) override {
    loads.push_back(flag);
    Post(new ppTask);
  }
  std::vector<int32_t> loads;
};

// A mouse task that owns its selection chain, as the real ones do.
class ChainTask : public ppTask {
 public:
  ChainTask(const char* kind, qxViewHolder* selection) : kind(kind), selection(selection) {}
  ~ChainTask() override { delete selection; }
  const char* kind;
  qxViewHolder* selection;
};

class RecordingFactory : public iElementTaskFactory {
 public:
  ppTask* NewMoverTask(qxViewHolder* selection, zelvproCanvas* /*canvas*/, void* /*source*/) override {
    return Make("mover", selection);
  }
  ppTask* New3DTask(qxViewHolder* selection, zelvproCanvas* /*canvas*/) override {
    return Make("3D", selection);
  }
  ppTask* NewDraggerTask(qxViewHolder* selection, zelvproCanvas* /*canvas*/) override {
    return Make("dragger", selection);
  }
  void StartWithElement(ppTask* task, int32_t x, int32_t y, std::unique_ptr<ppRegion> feedback) override {
    auto* started = static_cast<ChainTask*>(task);
    Start start{started->kind, x, y, started->selection->CountChain(), {}};
    feedback->GetBounds(&start.feedback);
    starts.push_back(start);
    delete task;
  }
  ppTask* Make(const char* kind, qxViewHolder* selection) {
    ++made;
    return new ChainTask(kind, selection);
  }
  struct Start {
    std::string kind;
    int32_t x, y, chained;
    plat::RECT feedback;
  };
  int32_t made = 0;
  std::vector<Start> starts;
};

class ElementCommandsTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    iElementTaskFactory::Install(&factory_);
    host_.topCanvas = canvas_.get();
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
  zelvproElement* Add(ppView* parent, uint8_t selected = 0, uint8_t locked = 0) {
    auto* element = new zelvproElement(0, parent, Rect(10, 10, 20, 20), nullptr, 0, 0);
    element->selected = selected, element->locked = locked;
    return element;
  }
  void Press(bool alt) {
    plat::Desktop::Key(plat::VK_MENU, alt);
    plat::POINT press{40, 30};
    canvas_->DoCommand(1000, reinterpret_cast<intptr_t>(&press));
    plat::Desktop::Key(plat::VK_MENU, false);
  }

  std::unique_ptr<CopyingCanvas> canvas_ = std::make_unique<CopyingCanvas>(Rect(0, 0, 1000, 1000));
  RecordingFactory factory_;
};

TEST_F(ElementCommandsTest, StepCommandsArriveAsArrowKeysAndOthersGoUpUntilTheRoot) {
  eltest::RecordingCanvas root(Rect(0, 0, 100, 100));
  auto* element = new KeyElement(0, &root, Rect(0, 0, 10, 10), nullptr, 0, 0);
  const std::pair<int32_t, int32_t> kCases[] = {{2201, 0x26}, {2205, 0x28}, {2209, 0x25}, {2213, 0x27}};
  for (auto [command, key] : kCases) {
    element->keys.clear();
    element->DoCommand(command, 0);
    ASSERT_EQ(element->keys.size(), 1u) << command;
    EXPECT_EQ(element->keys[0], std::make_pair(key, 0)) << command;
  }
  EXPECT_TRUE(root.commands.empty());
  element->DoCommand(4711, 0);
  EXPECT_EQ(root.commands, std::vector<int32_t>{4711});
  zelvproElement alone(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  alone.DoCommand(4711, 0);  // dropped at the root
}

TEST_F(ElementCommandsTest, APressStartsTheFirstSelectedFreeElementsTaskOnlyWhenThereIsOne) {
  const struct {
    bool selectedFree;  // one element selected and not locked (besides a locked selected one)
    bool alt;
    int32_t viewId;
    const char* task;  // null: none made
  } kCases[] = {
      {false, false, iElementHost::kPlanView, nullptr}, {false, true, iElementHost::kPlanView, nullptr},
      {true, false, iElementHost::kPlanView, "mover"},  {true, true, iElementHost::kPlanView, "dragger"},
      {true, false, iElementHost::k3DView, "3D"},
  };
  for (const auto& c : kCases) {
    canvas_ = std::make_unique<CopyingCanvas>(Rect(0, 0, 1000, 1000));
    host_.topCanvas = canvas_.get();
    host_.viewId = c.viewId;
    factory_ = RecordingFactory();
    Add(canvas_.get(), 1, 1);
    Add(canvas_.get(), 0, 0);
    if (c.selectedFree) Add(canvas_.get(), 1, 0);
    canvas_->Post(new ppTask);  // an earlier edit
    ppTask* earlier = canvas_->DoneTop();
    Press(c.alt);
    EXPECT_EQ(factory_.made, c.task != nullptr ? 1 : 0) << c.selectedFree << c.alt;
    ASSERT_EQ(factory_.starts.size(), c.task != nullptr ? 1u : 0u);
    if (c.task != nullptr) {
      EXPECT_EQ(factory_.starts[0].kind, c.task);
      EXPECT_EQ(factory_.starts[0].x, 40);
      EXPECT_EQ(factory_.starts[0].y, 30);
      EXPECT_EQ(factory_.starts[0].chained, 1);
    }
    // Alt duplicates through the canvas; the duplication's own task goes, the earlier edit stays.
    EXPECT_EQ(canvas_->loads, c.alt ? std::vector<int32_t>{0} : std::vector<int32_t>{});
    EXPECT_EQ(canvas_->DoneTop(), earlier);
  }
}

TEST_F(ElementCommandsTest, TheFeedbackShowsATurnedElementWhereItLies) {
  zelvDatabase& db = MakeDatabase();
  zelvproElement* element = Add(canvas_.get(), 1, 0);
  element->outlines = Outline(db, {0, 0, 300, 0, 300, 150, 0, 150});  // 20 by 10 pixels
  element->position = ppVector3(1500.0f, 0.0f, 1500.0f);
  element->angle = 3.1415927f / 2;
  Press(false);
  ASSERT_EQ(factory_.starts.size(), 1u);
  const plat::RECT& r = factory_.starts[0].feedback;
  // Turned a quarter once: 10 pixels across, 20 down (turned twice it would lie 20 across).
  EXPECT_NEAR(r.right - r.left, 10, 1);
  EXPECT_NEAR(r.bottom - r.top, 20, 1);
}

TEST_F(ElementCommandsTest, LocksSkipLockedElementsAndUnlocksReachEverySelectedOne) {
  const struct {
    int32_t command;
    uint8_t expectedFree, expectedFreeChild, expectedLocked, expectedLockedChild, expectedOther;
  } kCases[] = {
      {3038, 1, 1, 1, 0, 1},  // the locked element's child stays free: the element was skipped
      {3039, 0, 0, 0, 0, 1},  // an unselected element keeps its lock
  };
  for (const auto& c : kCases) {
    canvas_ = std::make_unique<CopyingCanvas>(Rect(0, 0, 1000, 1000));
    zelvproElement* free = Add(canvas_.get(), 1, 0);
    zelvproElement* freeChild = Add(free);
    zelvproElement* locked = Add(canvas_.get(), 1, 1);
    zelvproElement* lockedChild = Add(locked);
    zelvproElement* other = Add(canvas_.get(), 0, 1);
    canvas_->DoCommand(c.command, 0);
    EXPECT_EQ(free->locked, c.expectedFree) << c.command;
    EXPECT_EQ(freeChild->locked, c.expectedFreeChild) << c.command;
    EXPECT_EQ(locked->locked, c.expectedLocked) << c.command;
    EXPECT_EQ(lockedChild->locked, c.expectedLockedChild) << c.command;
    EXPECT_EQ(other->locked, c.expectedOther) << c.command;
  }
}

TEST_F(ElementCommandsTest, InteriorLocksSetTheChildrensLockWords) {
  const struct {
    int32_t command;
    uint8_t parentLocked;
    uint8_t interiorLock;  // expected
    int32_t after[4];      // children's lock words, from 0, 1, 2 and 3
  } kCases[] = {
      {3047, 0, 0, {0, 0, 2, 3}},
      {3047, 1, 0, {0, 0, 2, 3}},  // unlocking reaches a locked element too
      {3046, 0, 1, {1, 1, 1, 1}},
      {3046, 1, 0, {0, 1, 2, 3}},  // a locked element is skipped
  };
  for (const auto& c : kCases) {
    canvas_ = std::make_unique<CopyingCanvas>(Rect(0, 0, 1000, 1000));
    zelvproElement* parent = Add(canvas_.get(), 1, c.parentLocked);
    parent->interiorLock = c.command == 3047 ? 1 : 0;
    std::vector<zelvproElement*> children;
    for (int32_t bits = 0; bits < 4; ++bits)
      children.push_back(Add(parent)), children.back()->lockedChildBits = bits;
    canvas_->DoCommand(c.command, 0);
    EXPECT_EQ(parent->interiorLock, c.interiorLock) << c.command << int(c.parentLocked);
    for (int32_t i = 0; i < 4; ++i)
      EXPECT_EQ(children[size_t(i)]->lockedChildBits, c.after[i]) << c.command << i;
  }
}

TEST_F(ElementCommandsTest, AGeneratedUnitIsANewTopViewRecordWithItsSubItemsFromTheLeastCorner) {
  zelvDatabase& db = MakeDatabase();
  zelvproTopViewFil& topViews = db.TopViewFile();
  // The template (the element's unit for any key): its parts are dropped, its sub-items kept.
  topViews.ClearRecordBuffer(nullptr);
  cattest::SetWords(topViews, "shapes3D", {1, 2, 3, 4, 5, 6});
  cattest::SetWords(topViews, "Subelements", {1, 2, 3, 4, 5, 6});
  cattest::SetWords(topViews, "subItems", {9, 0, 0, 0, 0, 0, 0, 0});
  int32_t templateId = 0;
  topViews.AddRecord(&templateId, nullptr);
  topViews.ClearRecordBuffer(nullptr);
  cattest::SetWords(topViews, "Units", {templateId, 0});
  int32_t unitId = 0;
  topViews.AddRecord(&unitId, nullptr);
  topViews.ClearRecordBuffer(nullptr);
  cattest::SetWords(topViews, "Units", {unitId + 1000, 0});  // a top view the catalogue lacks
  int32_t orphanId = 0;
  topViews.AddRecord(&orphanId, nullptr);

  ppBounds3 box;
  box.AddPoint(ppVector3(-300.0f, 0.0f, -300.0f));
  box.AddPoint(ppVector3(300.0f, 720.0f, 300.0f));
  const struct {
    bool withCatalogue, withBox, withTemplate;
    std::vector<float> subItem;  // x, y, z; empty: no record is added
  } kCases[] = {
      {true, true, true, {300.0f, 0.0f, 300.0f}},
      {true, false, true, {0.0f, 0.0f, 0.0f}},      // without geometry the position is the least corner
      {true, true, false, {300.0f, 0.0f, 300.0f}},  // an unreadable template: an empty record
      {false, true, true, {}},
  };
  for (const auto& c : kCases) {
    canvas_ = std::make_unique<CopyingCanvas>(Rect(0, 0, 1000, 1000));
    auto* element = new BoxElement(c.withTemplate ? unitId : orphanId, canvas_.get(), Rect(0, 0, 10, 10),
                                   c.withCatalogue ? &db : nullptr, 0, 0);
    element->selected = 1;
    element->position = ppVector3(1000.0f, 0.0f, 500.0f);
    element->angle = 0.5f;
    if (c.withBox) element->box = box;
    topViews.SelectAll();
    const int32_t before = topViews.GetSelectedCount();
    canvas_->DoCommand(3049, 0);
    topViews.SelectAll();
    if (c.subItem.empty()) {
      EXPECT_EQ(topViews.GetSelectedCount(), before);
      continue;
    }
    ASSERT_EQ(topViews.GetSelectedCount(), before + 1);
    int32_t newest = 0;
    for (int32_t i = 0; i < topViews.GetSelectedCount(); ++i)
      newest = std::max(newest, topViews.RecordIdAt(i));
    topViews.ReadRecord(newest, nullptr);
    EXPECT_EQ(cattest::LongField(topViews, "ID"), 0);
    EXPECT_EQ(RecordField(topViews, "Name").Text(topViews.GetRecordBuffer()), "Generated");
    EXPECT_EQ(cattest::LongField(topViews, "flags"), 0x100);
    EXPECT_EQ(cattest::LongField(topViews, "Type"), 1);
    EXPECT_EQ(cattest::LongField(topViews, "Canvas"), 1);
    EXPECT_TRUE(RecordField(topViews, "shapes3D").Words(topViews.GetRecordBuffer()).empty());
    EXPECT_TRUE(RecordField(topViews, "Subelements").Words(topViews.GetRecordBuffer()).empty());
    const std::vector<int32_t> words = RecordField(topViews, "subItems").Words(topViews.GetRecordBuffer());
    ASSERT_EQ(words.size(), c.withTemplate ? 16u : 8u);
    if (c.withTemplate) {
      EXPECT_EQ(words[0], 9);  // the template's own sub-item stays first
    }
    const size_t at = words.size() - 8;  // the new entry is appended
    auto asFloat = [&](size_t i) {
      float f = 0.0f;
      std::memcpy(&f, &words[i], 4);
      return f;
    };
    EXPECT_EQ(words[at], c.withTemplate ? unitId : orphanId);
    EXPECT_EQ(words[at + 1], 0);
    EXPECT_FLOAT_EQ(asFloat(at + 2), c.subItem[0]);
    EXPECT_FLOAT_EQ(asFloat(at + 3), c.subItem[1]);
    EXPECT_FLOAT_EQ(asFloat(at + 4), c.subItem[2]);
    EXPECT_EQ(words[at + 5], 0);
    EXPECT_FLOAT_EQ(asFloat(at + 6), 0.5f);
    EXPECT_EQ(words[at + 7], 0);
  }
}

}  // namespace
