// The plan canvas and the top canvas: the edit menu, presses on empty plan, hit and collision tests,
// the deferred update's focus, emptying the plan, the display flag and panel, loading a document's
// module records, the child order after edits, and the full refresh with its sweepers.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

#include "elements/PlanCanvasTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PasteOffset.h"
#include "elements/base/PlanPressPass.h"
#include "elements/base/RotationStep.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "elements/units/zelvproConfigElement.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppDC.h"
#include "framework/ppSweeper.h"
#include "framework/ppTask.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace {

using eltest::Rect;

zelvproElement* Child(zelvproElement* parent, const ppVector3& at = ppVector3(), float angle = 0.0f) {
  auto* child = new zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0);
  child->position = at;
  child->StoreAngle(angle);
  return child;
}

std::vector<zelvproElement*> ChildrenOf(const ppView& view) {
  std::vector<zelvproElement*> out;
  ForEachChildElement(view, [&](zelvproElement* c) { out.push_back(c); });
  return out;
}

class PlanCanvasTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    host_.palette = std::make_unique<zelvproLayerPalette>();
    canvasHost_.palette = std::move(host_.palette);
    iElementHost::Install(&canvasHost_);
    iElementTaskFactory::Install(&factory_);
    iConfigurator::Install(&configurator_);
  }
  void TearDown() override {
    canvas_.reset();
    iConfigurator::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }
  zelvproTopCanvas& Canvas() {
    if (canvas_ == nullptr)
      canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, Rect(0, 0, 400, 300), nullptr);
    return *canvas_;
  }

  pctest::CanvasHost canvasHost_;
  pctest::BandFactory factory_;
  pctest::FocusConfigurator configurator_;
  std::unique_ptr<zelvproTopCanvas> canvas_;
};

// ---- The edit menu.

TEST_F(PlanCanvasTest, MenuGreysWhatCannotBeDoneAndFollowsTheHistory) {
  zelvproTopCanvas& canvas = Canvas();
  canvas.UpdateTargetMenus();
  for (int32_t command : {31, 32, 33, 34, 35, 36, 203}) EXPECT_FALSE(canvasHost_.menu.at(command)) << command;

  canvas.DoCommand(zelvproCanvas::kPostTask, reinterpret_cast<intptr_t>(new ppTask(&canvas)));
  canvas.UpdateTargetMenus();
  EXPECT_TRUE(canvasHost_.menu[31]);
  EXPECT_FALSE(canvasHost_.menu[32]);
  canvas.DoCommand(zelvproCanvas::kUndo, 0);
  canvas.UpdateTargetMenus();
  EXPECT_FALSE(canvasHost_.menu[31]);
  EXPECT_TRUE(canvasHost_.menu[32]);

  // An element makes Select All possible; a selected one Cut, Copy and Delete.
  zelvproElement* child = Child(&canvas);
  canvas.UpdateTargetMenus();
  EXPECT_TRUE(canvasHost_.menu[203]);
  EXPECT_FALSE(canvasHost_.menu[36]);
  child->Select(false);
  canvas.UpdateTargetMenus();
  for (int32_t command : {33, 34, 36}) EXPECT_TRUE(canvasHost_.menu[command]) << command;
}

TEST_F(PlanCanvasTest, DeleteWithOnlyLockedElementsSelectedAsksForNoTask) {
  zelvproTopCanvas& canvas = Canvas();
  zelvproElement* child = Child(&canvas);
  child->Select(false);
  child->LockTree();
  canvas.DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(factory_.deletes, 0);
  EXPECT_EQ(canvasHost_.defaultPanels, 0);
  child->UnlockTree();
  canvas.DoCommand(zelvproCanvas::kDelete, 0);
  EXPECT_EQ(factory_.deletes, 1);
}

TEST_F(PlanCanvasTest, ViewCommandsGoToTheViewBarAndRoomDesignOnlyWhenOffered) {
  zelvproTopCanvas& canvas = Canvas();
  for (int32_t command : {3001, 3002, 3003, 3005, 3006, 3008, 3009, 3010, 3011, 3058})
    canvas.DoCommand(command, 0);
  iApplicationSettings settings;
  settings.roomDesign = false;
  iApplicationSettings::Install(&settings);
  canvas.DoCommand(3001, 0);
  EXPECT_EQ(canvasHost_.viewBar,
            (std::vector<int32_t>{3001, 3002, 3003, 3005, 3006, 3008, 3009, 3010, 3011}));
}

// ---- Presses, hit tests and collisions.

class PlanWindowTest : public PlanCanvasTest {
 protected:
  void SetUp() override {
    PlanCanvasTest::SetUp();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 400, 300);
    canvas_ = std::make_unique<zelvproTopCanvas>(window_, Rect(0, 0, 400, 300), nullptr);
    canvasHost_.viewId = iElementHost::kPlanViewC;
  }
  void TearDown() override {
    canvas_.reset();
    delete window_;
    app_.reset();
    PlanCanvasTest::TearDown();
  }
  void Press(plat::POINT at) {
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
    plat::HeadlessDriver::RunUntilIdle();
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
};

TEST_F(PlanWindowTest, PressOnEmptyPlanSelectsNothingAndStartsTheRubberBand) {
  zelvproElement* child = Child(canvas_.get());
  child->SetFrame(Rect(300, 200, 350, 250));
  child->Select(false);
  Press(plat::POINT{50, 60});
  EXPECT_FALSE(child->IsSelected());
  EXPECT_FALSE(canvas_->IsSelected());
  ASSERT_EQ(factory_.bands.size(), 1u);
  EXPECT_TRUE(factory_.bands[0]->started);
  EXPECT_EQ(factory_.bands[0]->at.x, 50);
  EXPECT_EQ(canvasHost_.defaultPanels, 1);
  EXPECT_FALSE(FirstPressPass());
  EXPECT_EQ(plat::GetFocus(), hwnd_);
}

TEST_F(PlanWindowTest, DeselectingAllRedrawsAnElementSelectedInsideAnUnselectedOne) {
  // A door selected in its wall, which is not, as the palette's press finds them.
  zelvproElement* wall = Child(canvas_.get());
  wall->SetFrame(Rect(20, 20, 200, 40));
  zelvproElement* door = Child(wall);
  door->SetFrame(Rect(100, 25, 150, 35));
  door->Select(false);
  zelvproElement::ResetRedraw();
  canvas_->DeselectAll(true);
  EXPECT_FALSE(door->IsSelected());
  ppRegion* redrawn = zelvproElement::PendingRegion();
  ASSERT_NE(redrawn, nullptr) << "the door would stay drawn as selected";
  plat::RECT at{};
  door->GetWindowFrame(&at);
  EXPECT_TRUE(redrawn->Contains((at.left + at.right) / 2, (at.top + at.bottom) / 2));
}

TEST_F(PlanCanvasTest, TheCanvasRefusesThePressWhileTheElementsHaveTheFirstPass) {
  SetFirstPressPass(true);
  EXPECT_FALSE(Canvas().IsDoubleClick(10, 10));
  SetFirstPressPass(false);
  EXPECT_TRUE(Canvas().IsDoubleClick(10, 10));
}

TEST_F(PlanCanvasTest, ContainsPointKeepsAMarginOutsideThe3DView) {
  struct Case {
    int32_t view, x, y;
    bool inside;
  } cases[] = {
      {2020, 449, 100, true}, {2020, 450, 100, false}, {2020, -50, -50, true}, {2020, -51, 100, false},
      {2020, 100, 349, true}, {2024, 400, 100, false}, {2024, 399, 299, true}, {2024, -1, 100, false},
  };
  for (const Case& c : cases) {
    canvasHost_.viewId = c.view;
    EXPECT_EQ(Canvas().ContainsPoint(c.x, c.y), c.inside) << c.view << " " << c.x << "," << c.y;
  }
}

TEST_F(PlanCanvasTest, CollisionsByExactPlaceAndAngleAndByHeight) {
  zelvproTopCanvas& canvas = Canvas();
  Child(&canvas, ppVector3(1000, 0, 500), 0.5f);
  struct Case {
    ppVector3 at;
    float angle;
    bool collides;
  } cases[] = {
      {ppVector3(1000, 0, 500), 0.5f, true},  {ppVector3(1000, 0, 500.01f), 0.5f, false},
      {ppVector3(1000, 0, 500), 0.6f, false}, {ppVector3(0, -0.05f, 0), 0.0f, false},
      {ppVector3(0, -0.2f, 0), 0.0f, true},
  };
  for (const Case& c : cases) {
    std::unique_ptr<zelvproElement> other(Child(&canvas, c.at, c.angle));
    EXPECT_EQ(canvas.Collides(other.get()), c.collides) << c.at.x << " " << c.at.y << " " << c.angle;
    other->DetachFromSupervisor();
  }
}

TEST_F(PlanCanvasTest, FrameRegionOfTheSelectionAndTheHolderChainInChildOrder) {
  zelvproTopCanvas& canvas = Canvas();
  EXPECT_TRUE(canvas.NewFrameRegion()->IsEmpty());
  zelvproElement* a = Child(&canvas);
  zelvproElement* b = Child(&canvas);
  zelvproElement* c = Child(&canvas);
  a->SetFrame(Rect(10, 10, 20, 20));
  c->SetFrame(Rect(50, 60, 70, 80));
  a->Select(false), c->Select(false);
  plat::RECT bounds{};
  canvas.NewFrameRegion()->GetBounds(&bounds);
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.bottom, 80);

  auto* head = new qxViewHolder(b, nullptr, true);
  std::unique_ptr<qxViewHolder> chain(canvas.BuildHolderChain(head));
  std::vector<zelvproElement*> order;
  for (qxViewHolder* h = chain.get(); h != nullptr; h = h->Next()) order.push_back(h->Element());
  EXPECT_EQ(order, (std::vector<zelvproElement*>{a, b, c, b}));
}

// ---- The deferred update.

TEST_F(PlanWindowTest, UpdateSweepFocusesTheCanvasOrThe3DPaneOrPressesTheConfigurator) {
  canvasHost_.paneWindow = eltest::OpenSweeperWindow("PaneWindow");
  for (int32_t view : {iElementHost::kPlanViewC, iElementHost::k3DView}) {
    canvasHost_.viewId = view;
    plat::SetFocus(nullptr);
    canvas_->ScheduleUpdate();
    canvas_->ScheduleUpdate();
    EXPECT_EQ(ppSweeper::PendingCount(), 1);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_FALSE(zelvproCanvas::UpdateScheduled());
    EXPECT_EQ(plat::GetFocus(), view == iElementHost::k3DView ? canvasHost_.paneWindow : hwnd_) << view;
  }
  canvas_->RequestUpdate(true);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(configurator_.presses, 1);
}

TEST_F(PlanCanvasTest, ClearingTheGlobalFlagLetsTheNextRequestPost) {
  canvasHost_.documentWindow = eltest::OpenSweeperWindow("DocWindow");
  Canvas().ScheduleUpdate();
  zelvproCanvas::ClearCanvasGlobal();
  Canvas().ScheduleUpdate();
  EXPECT_EQ(ppSweeper::PendingCount(), 2);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(zelvproCanvas::UpdateScheduled());
  canvasHost_.documentWindow = nullptr;
}

// ---- Emptying the plan.

// A task whose holder chain names elements of the plan and reads them when it goes.
class ChainTask : public ppTask {
 public:
  ChainTask(void* target, qxViewHolder* chain) : ppTask(target), chain_(chain) {}
  ~ChainTask() override {
    for (qxViewHolder* h = chain_; h != nullptr; h = h->Next()) h->Element()->mark += 1;
    delete chain_;
  }

 private:
  qxViewHolder* chain_;
};

TEST_F(PlanCanvasTest, DeleteAllElementsDropsTheHistoryBeforeTheChildren) {
  zelvproTopCanvas& canvas = Canvas();
  Child(&canvas), Child(&canvas);
  canvas.Post(new ChainTask(&canvas, canvas.BuildHolderChain(nullptr)));
  canvas.DeleteAllElements();
  EXPECT_EQ(canvas.Subviews().Count(), 0);
  EXPECT_EQ(canvas.DoneTop(), nullptr);
  canvas.DeleteAllElements();  // an empty plan: nothing but the redraw
}

// ---- The display flag and the panel.

TEST_F(PlanCanvasTest, TransparentCommandSetsClearsTogglesAndChecksTheMenu) {
  zelvproTopCanvas& canvas = Canvas();
  canvasHost_.topCanvas = &canvas;
  struct Step {
    intptr_t parameter;
    bool expected;
  } steps[] = {{0, true}, {0, false}, {1, true}, {1, true}, {-1, false}, {-1, false}, {0, true}};
  for (const Step& s : steps) {
    canvas.DoCommand(zelvproTopCanvas::kTransparentCommand, s.parameter);
    EXPECT_EQ(canvas.Transparent(), s.expected) << s.parameter;
    EXPECT_EQ(canvasHost_.checks.at(3052), s.expected);
  }
  canvasHost_.topCanvas = nullptr;
}

TEST_F(PlanCanvasTest, InformationPanelHasTheCanvasCaptionAndFiveTextRows) {
  Canvas().BuildInfoPanel(nullptr);
  ASSERT_EQ(configurator_.panels.size(), 1u);
  const ConfigPanel& panel = *configurator_.panels[0];
  EXPECT_EQ(panel.name, Vcon::WString(u"Canvas"));
  ASSERT_EQ(panel.fields.size(), 5u);
  for (const ConfigField& f : panel.fields) {
    EXPECT_EQ(f.kind, ConfigField::kText);
    EXPECT_EQ(std::vector<int32_t>(f.margins, f.margins + 4), (std::vector<int32_t>{10, 5, 10, 0}));
  }
  EXPECT_EQ(configurator_.placed, 1);
}

// ---- Loading a document's module records.

class PlanLoadTest : public PlanCanvasTest {
 protected:
  void SetUp() override {
    PlanCanvasTest::SetUp();
    db_ = &MakeDatabase();
    canvasHost_.databases = host_.databases;
    item_ = AddTopView(*db_, {{"ID", 4711}});
    plat::ClearMessageBoxLog();
  }
  // Appends a record of `type` with save id `id` under `parent` to the table.
  void Add(ppDatafile& modules, int32_t type, int32_t id, int32_t parent, int32_t key = 0,
           int32_t database = -1, int32_t item = -1) {
    modules.ClearRecordBuffer(nullptr);
    cattest::SetField(modules, "type", type);
    cattest::SetField(modules, "id", id);
    cattest::SetField(modules, "parent", parent);
    cattest::SetField(modules, "under", key);
    // A catalogue unit takes its stacking key from its item's "Under".
    cattest::SetField(modules, "recID", item == -1 ? ItemWithKey(key) : item);
    cattest::SetField(modules, "database", database == -1 ? db_->Identifier() : database);
    modules.InsertRecordAt(-1, nullptr);
  }
  int32_t ItemWithKey(int32_t key) {
    if (keyedItems_.count(key) == 0) {
      AddTopView(*db_, {{"ID", 5000 + key}, {"Under", key}});
      keyedItems_.insert(key);
    }
    return 5000 + key;
  }
  std::vector<int32_t> Ids(const ppView& view) {
    std::vector<int32_t> ids;
    for (zelvproElement* c : ChildrenOf(view)) ids.push_back(c->GetSaveId());
    return ids;
  }

  zelvDatabase* db_ = nullptr;
  int32_t item_ = 0;
  std::set<int32_t> keyedItems_;
};

TEST_F(PlanLoadTest, TheCanvasTakesItsIdAndKeyedChildrenThatFollowUnkeyedOnesGoInFront) {
  ppDatafile& modules = Module(*db_);
  Add(modules, -1, 7, 0);
  Add(modules, 0, 10, 7, 0);
  Add(modules, 0, 11, 7, 5);
  Add(modules, 0, 12, 7, 9);
  Canvas().LoadPlan(modules);
  EXPECT_EQ(Canvas().GetSaveId(), 7);
  std::vector<int32_t> keys;
  for (zelvproElement* c : ChildrenOf(Canvas())) keys.push_back(c->under);
  EXPECT_EQ(keys, (std::vector<int32_t>{9, 5, 0}));
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

TEST_F(PlanLoadTest, KeyedChildrenBeforeAnyUnkeyedOneKeepTheirPlaceAndChildrenFindTheirParent) {
  ppDatafile& modules = Module(*db_);
  Add(modules, -1, 7, 0);
  Add(modules, 0, 10, 7, 3);
  Add(modules, 0, 11, 7, 0);
  Add(modules, 0, 12, 11, 0);  // inside 11
  Add(modules, 0, 13, 7, 4);
  Canvas().LoadPlan(modules);
  EXPECT_EQ(Ids(Canvas()), (std::vector<int32_t>{13, 10, 11}));
  zelvproElement* eleven = Canvas().FindById(11);
  ASSERT_NE(eleven, nullptr);
  EXPECT_EQ(Ids(*eleven), (std::vector<int32_t>{12}));
}

// A document keeps the kind each unit was made as: one saved configurable comes back configurable
// though its catalogue item (4711, a plain one) would now make a plain unit; one saved plain stays so.
TEST_F(PlanLoadTest, AUnitSavedConfigurableLoadsAsOneWhateverItsItemMakesNow) {
  ppDatafile& modules = Module(*db_);
  Add(modules, -1, 7, 0);
  Add(modules, ElementKinds::kConfigurable, 10, 7, 0, -1, 4711);
  Add(modules, ElementKinds::kPlain, 11, 7, 0, -1, 4711);
  Canvas().LoadPlan(modules);
  ASSERT_EQ(Ids(Canvas()).size(), 2u);
  EXPECT_NE(dynamic_cast<zelvproConfigElement*>(Canvas().FindById(10)), nullptr);
  ASSERT_NE(Canvas().FindById(11), nullptr);
  EXPECT_EQ(dynamic_cast<zelvproConfigElement*>(Canvas().FindById(11)), nullptr);
}

// Builds elements as the top canvas does, but one record (tag 99) fails to build.
class FailingCanvas : public zelvproTopCanvas {
 public:
  FailingCanvas() : zelvproTopCanvas(nullptr, Rect(0, 0, 400, 300), nullptr) {}

 protected:
  zelvproElement* BuildModuleElement(int32_t type, zelvproElement* container, ppDatafile& module,
                                     bool fresh) override {
    if (RecordField(module, "tag").Long(module.GetRecordBuffer()) == 99) throw std::runtime_error("broken");
    return zelvproTopCanvas::BuildModuleElement(type, container, module, fresh);
  }
};

TEST_F(PlanLoadTest, MissingItemsAndAFailedBuildShowOneBoxAndKeepEverythingElse) {
  ppDatafile& modules = Module(*db_);
  Add(modules, -1, 7, 0);
  Add(modules, 0, 10, 7, 0, -1, 4711);
  Add(modules, 0, 11, 7, 0, -1, 555);  // items the catalogue does not hold
  Add(modules, 0, 12, 7, 0, -1, 556);
  Add(modules, 0, 13, 7);
  RecordField(modules, "tag").SetLong(modules.GetRecordBuffer(), 99);
  modules.InsertRecordAt(-1, nullptr);  // the same, failing to build
  Add(modules, 0, 14, 7, 0, 12345);     // a catalogue that is not open: skipped silently
  Add(modules, 0, 15, 7);
  FailingCanvas canvas;
  canvas.LoadPlan(modules);
  EXPECT_EQ(Ids(canvas), (std::vector<int32_t>{10, 13, 15}));
  const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, u"Import fejl!");
  EXPECT_EQ(boxes[0].style, 0x30u);
  EXPECT_NE(boxes[0].text.find(u"\u00e5bnet"), std::u16string::npos);
}

TEST_F(PlanLoadTest, ARecordWhoseParentIsNotInThePlanLandsInTheCanvasAndIsReported) {
  ppDatafile& modules = Module(*db_);
  Add(modules, -1, 7, 0);
  Add(modules, 0, 10, 77);  // a parent nobody has
  Canvas().LoadPlan(modules);
  EXPECT_EQ(Ids(Canvas()), (std::vector<int32_t>{10}));
  EXPECT_EQ(plat::MessageBoxLog().size(), 1u);
}

// ---- The order after edits.

TEST_F(PlanCanvasTest, AfterEditPutsHigherKeysFirstAndKeepsEqualKeysInTheirOrder) {
  zelvproTopCanvas& canvas = Canvas();
  // Enough children that an unstable sort would reorder equal keys.
  std::vector<zelvproElement*> made;
  for (int32_t i = 0; i < 60; ++i) {
    zelvproElement* c = Child(&canvas);
    c->under = i % 3;
    c->mark = i;
    made.push_back(c);
  }
  canvas.AfterEdit(nullptr);
  std::vector<int32_t> expected;
  for (int32_t key : {2, 1, 0})
    for (int32_t i = 0; i < 60; ++i)
      if (i % 3 == key) expected.push_back(i);
  std::vector<int32_t> marks;
  for (zelvproElement* c : ChildrenOf(canvas)) marks.push_back(c->mark);
  EXPECT_EQ(marks, expected);
}

// ---- Refresh, price list and sweepers.

class RebuildingList : public tvtest::RecordingCalculationList {
 public:
  void DeleteAllLines() override { steps.push_back("delete all"); }
  void ReleaseLineData() override { steps.push_back("release"); }
  void RebuildLines(zelvproElement& /*canvas*/) override { steps.push_back("rebuild"); }
  void ShowLastLine() override { steps.push_back("last line"); }
  std::vector<std::string> steps;
};

TEST_F(PlanCanvasTest, RecalculationEmptiesTheTableFirstOnlyWithCtrlAndAltHeld) {
  RebuildingList list;
  iCalculationList::Install(&list);
  Canvas().RecalculatePriceList();
  EXPECT_EQ(list.steps, (std::vector<std::string>{"release", "rebuild", "last line"}));
  list.steps.clear();
  plat::Desktop::Key(plat::VK_CONTROL, true);
  plat::Desktop::Key(plat::VK_MENU, true);
  plat::HeadlessDriver::RunUntilIdle();
  Canvas().RecalculatePriceList();
  EXPECT_EQ(list.steps, (std::vector<std::string>{"delete all", "release", "rebuild", "last line"}));
  plat::Desktop::Key(plat::VK_MENU, false);
  plat::Desktop::Key(plat::VK_CONTROL, false);
  plat::HeadlessDriver::RunUntilIdle();
  iCalculationList::Install(&lines_);
}

TEST_F(PlanCanvasTest, FullRefreshPostsOneWorktopSweeperThatRebuildsTheMainCanvasPriceList) {
  RebuildingList list;
  iCalculationList::Install(&list);
  canvasHost_.documentWindow = eltest::OpenSweeperWindow("DocWindow");
  canvasHost_.topCanvas = &Canvas();
  Canvas().RefreshAll();
  EXPECT_EQ(ppSweeper::PendingCount(), 1);
  EXPECT_TRUE(list.steps.empty());
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(list.steps, (std::vector<std::string>{"release", "rebuild", "last line"}));
  canvasHost_.topCanvas = nullptr;
  canvasHost_.documentWindow = nullptr;
  iCalculationList::Install(&lines_);
}

TEST_F(PlanWindowTest, EachPaintPostsOneAnnotationPass) {
  plat::HeadlessDriver::RunUntilIdle();
  const int32_t before = ppSweeper::PendingCount();
  for (int32_t paint = 0; paint < 2; ++paint) {
    ppDC dc(hwnd_);
    canvas_->Draw(dc);
  }
  EXPECT_EQ(ppSweeper::PendingCount(), before + 2);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(ppSweeper::PendingCount(), before);
  // A pass whose canvas went first does nothing.
  ppDC dc(hwnd_);
  canvas_->Draw(dc);
  canvas_.reset();
  plat::HeadlessDriver::RunUntilIdle();
}

}  // namespace

namespace {

// ---- Re-snapping a plan of units.

TEST_F(PlanLoadTest, ResnapTreeLinksTouchingUnitsAndLeavesDistantOnesFree) {
  const eltest::Words anchors =
      eltest::Join({eltest::SnapEntry(3, 0, 0, 300), eltest::SnapEntry(-3, 600, 0, 300)});
  const int32_t item =
      AddTopView(*db_, {{"ID", 880}, {"width", 600.0}, {"depth", 600.0}}, {{"Snappoints", anchors}});
  zelvproTopCanvas& canvas = Canvas();
  std::vector<zelvproTopViewElement*> units;
  // Two rows: units side by side in each, the second row far off; one unit turned half round.
  const ppVector3 places[] = {{0, 0, 0},    {600, 0, 0},       {1200, 0, 0},
                              {0, 0, 5000}, {600.5f, 0, 5000}, {3000, 0, 0}};
  for (const ppVector3& at : places) {
    units.push_back(Make(*db_, item, &canvas));
    units.back()->SetPosition(at);
  }
  canvas.ResnapTree();
  auto partner = [](zelvproElement* e, int32_t i) {
    SnapAnchor a;
    return e->GetPointEntry(i, a) ? a.partner : nullptr;
  };
  EXPECT_EQ(partner(units[0], 1), units[1]);
  EXPECT_EQ(partner(units[1], 0), units[0]);
  EXPECT_EQ(partner(units[1], 1), units[2]);
  EXPECT_EQ(partner(units[2], 1), nullptr);
  EXPECT_EQ(partner(units[3], 1), units[4]);  // half a millimetre apart still links
  EXPECT_EQ(partner(units[5], 0), nullptr);
  EXPECT_EQ(partner(units[0], 0), nullptr);
}

}  // namespace

namespace {

// Records the turn each rotate task was asked for.
class TurnFactory : public pctest::BandFactory {
 public:
  ppTask* NewRotateTask2(zelvproCanvas* owner, zelvproElement* /*target*/, float turn, float dx,
                         float dz) override {
    turns.push_back(turn);
    EXPECT_EQ(dx, 0.0f);
    EXPECT_EQ(dz, 0.0f);
    return new ppTask(owner);
  }
  std::vector<float> turns;
};

TEST_F(PlanCanvasTest, TurnCommandsPostOneStepOfTheProgramWideRotationStep) {
  TurnFactory turns;
  iElementTaskFactory::Install(&turns);
  Canvas().DoCommand(zelvproCanvas::kTurnClockwise, 0);
  Canvas().DoCommand(zelvproCanvas::kTurnCounterclockwise, 0);
  EXPECT_EQ(turns.turns, (std::vector<float>{0.7853982f, -0.7853982f}));
  EXPECT_NE(Canvas().DoneTop(), nullptr);
  iElementTaskFactory::Install(&factory_);
}

}  // namespace

namespace {

TEST(PlanCanvasGlobalsTest, TheDesktopResetRestoresPasteOffsetRotationStepAndUpdateFlag) {
  SetPasteOffset(1000.0f);
  SetRotationStep(0.1f);
  {
    pctest::CanvasHost host;
    host.documentWindow = eltest::OpenSweeperWindow("ResetWindow");
    iElementHost::Install(&host);
    zelvproCanvas canvas(nullptr, Rect(0, 0, 10, 10), nullptr);
    canvas.ScheduleUpdate();
    EXPECT_TRUE(zelvproCanvas::UpdateScheduled());
    iElementHost::Install(nullptr);
  }
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(PasteOffset(), 250.0f);
  EXPECT_EQ(RotationStep(), 0.7853982f);
  EXPECT_FALSE(zelvproCanvas::UpdateScheduled());
}

}  // namespace
