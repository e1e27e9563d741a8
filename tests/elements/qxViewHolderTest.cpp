// Holder chains: names and values from the element clicked last, writes to every element, edit
// batches that end in one killer sweeper, the current chain, association links and the pixel region
// of a chain.
#include "elements/base/qxViewHolder.h"

#include <gtest/gtest.h>

#include <bit>
#include <numbers>
#include <string>
#include <vector>

#include "catalogue/records/zelvproShapeFil.h"
#include "elements/ElementTestSupport.h"
#include "framework/ppPropertyDataUnitTask.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using eltest::Rect;

int32_t gHoldersDeleted = 0;

struct CountedHolder : qxViewHolder {
  using qxViewHolder::qxViewHolder;
  ~CountedHolder() override { ++gHoldersDeleted; }
};

// An element with a few integer properties, clicked at `clickTime`.
class PropertyElement : public zelvproElement {
 public:
  PropertyElement(std::vector<std::string> names, std::vector<int32_t> values, uint32_t clickTime)
      : zelvproElement(0, nullptr, Rect(0, 0, 10, 10), nullptr, 0, 0),
        names_(std::move(names)),
        values_(std::move(values)) {
    lastClickTime = clickTime;
  }
  int32_t IndexOf(const Vcon::String& name) override {
    for (size_t i = 0; i < names_.size(); ++i)
      if (names_[i] == name) return int32_t(i);
    return kNoProperty;
  }
  void GetPropertyName(Vcon::String& out, int32_t index) override { out = Valid(index) ? names_[index] : ""; }
  int32_t GetPropertyCount() override { return int32_t(names_.size()); }
  ppParameter GetValue(int32_t index) override {
    return Valid(index) ? ppParameter(values_[index]) : ppParameter();
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    if (Valid(index)) values_[index] = value.ToInt();
  }
  void BuildInfoPanel(qxViewHolder* source) override { panelSource = source; }

  int32_t Value(const std::string& name) { return values_[IndexOf(name)]; }
  qxViewHolder* panelSource = nullptr;

 private:
  bool Valid(int32_t index) const { return index >= 0 && index < int32_t(names_.size()); }
  std::vector<std::string> names_;
  std::vector<int32_t> values_;
};

class qxViewHolderTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ElementTest::SetUp();
    gHoldersDeleted = 0;
    host_.documentWindow = eltest::OpenSweeperWindow("DocumentWindow");
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    delete qxViewHolder::Current();
    ElementTest::TearDown();
    plat::HeadlessDriver::Reset();
    EXPECT_EQ(ppSweeper::PendingCount(), 0);
  }

  static qxViewHolder* Chain(std::initializer_list<zelvproElement*> elements) {
    qxViewHolder* chain = nullptr;
    for (auto it = std::rbegin(elements); it != std::rend(elements); ++it)
      chain = new CountedHolder(*it, chain, false);
    return chain;
  }
};

TEST_F(qxViewHolderTest, TheElementClickedLastGivesNamesAndValuesWhateverItsPlace) {
  for (int latest = 0; latest < 3; ++latest) {
    SCOPED_TRACE(latest);
    const uint32_t times[3] = {uint32_t(latest == 0 ? 500 : 100), uint32_t(latest == 1 ? 500 : 200),
                               uint32_t(latest == 2 ? 500 : 300)};
    PropertyElement a({"Width"}, {10}, times[0]);
    PropertyElement b({"Depth", "Width"}, {1, 20}, times[1]);
    PropertyElement c({"Height", "Depth", "Width"}, {2, 3, 30}, times[2]);
    std::unique_ptr<qxViewHolder> chain(Chain({&a, &b, &c}));
    const int32_t index = chain->IndexOf("Width");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(chain->GetValue(index).ToInt(), (latest + 1) * 10);
    EXPECT_EQ(chain->NameAt(index), "Width");
    EXPECT_EQ(chain->GetPropertyCount(), 1);
    for (qxViewHolder* h = chain.get(); h != nullptr; h = h->Next()) EXPECT_EQ(h->Head(), chain->Head());
  }
}

TEST_F(qxViewHolderTest, ANameOnlyTheSecondElementHasIsReadAndWrittenThere) {
  PropertyElement first({"Width"}, {10}, 100);
  PropertyElement second({"Width", "Depth"}, {20, 600}, 200);
  std::unique_ptr<qxViewHolder> chain(Chain({&first, &second}));
  const int32_t index = chain->IndexOf("Depth");
  EXPECT_EQ(index, 1001);
  EXPECT_EQ(chain->GetValue(index).ToInt(), 600);
  chain->SetValueAt(index, ppParameter(650), true);
  EXPECT_EQ(second.Value("Depth"), 650);
  EXPECT_EQ(first.Value("Width"), 10);
  EXPECT_EQ(chain->IndexOf("Colour"), iProperty::kNoProperty);
}

TEST_F(qxViewHolderTest, AnEditBatchChangesEveryElementAndOneSweeperDeletesTheChainLater) {
  PropertyElement a({"Depth", "Width"}, {1, 10}, 100);
  PropertyElement b({"Width"}, {20}, 200);
  qxViewHolder* chain = Chain({&a, &b});
  const int32_t index = chain->IndexOf("Width");
  auto* task = new ppPropertyDataUnitTask(chain, index, ppParameter(7), false, true);  // opens a batch
  task->Do();
  EXPECT_EQ(a.Value("Width"), 7);
  EXPECT_EQ(b.Value("Width"), 7);
  delete task;  // closes it
  EXPECT_EQ(ppSweeper::PendingCount(), 1);
  EXPECT_EQ(gHoldersDeleted, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gHoldersDeleted, 2);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(qxViewHolderTest, ActivatingKeepsAnOldChainWithAnOpenBatchAndDeletesOthers) {
  PropertyElement a({"Width"}, {10}, 100);
  PropertyElement b({"Width"}, {20}, 200);
  qxViewHolder* old = Chain({&a, &b});
  old->Activate();
  EXPECT_EQ(qxViewHolder::Current(), old);
  EXPECT_EQ(b.panelSource, old);  // b was clicked last
  old->SetValueAt(iProperty::kBeginEdit, ppParameter(0), true);

  qxViewHolder* second = Chain({&a});
  second->Activate();
  EXPECT_EQ(gHoldersDeleted, 0);
  Chain({&b})->Activate();
  EXPECT_EQ(gHoldersDeleted, 1);  // the second chain, without a batch
  old->SetValueAt(iProperty::kEndEdit, ppParameter(0), true);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gHoldersDeleted, 3);
}

TEST_F(qxViewHolderTest, AChainDoomedBySweeperMayGoEarlierAndAWindowlessSweeperStillFreesIt) {
  PropertyElement a({"Width"}, {10}, 100);
  qxViewHolder* doomed = Chain({&a});
  doomed->Activate();
  doomed->SetValueAt(iProperty::kBeginEdit, ppParameter(0), true);
  doomed->SetValueAt(iProperty::kEndEdit, ppParameter(0), true);
  doomed->SetValueAt(iProperty::kEndEdit, ppParameter(0), true);  // unbalanced: no second sweeper
  EXPECT_EQ(ppSweeper::PendingCount(), 1);
  Chain({&a})->Activate();  // deletes the doomed chain now; its sweeper must not delete it again
  EXPECT_EQ(gHoldersDeleted, 1);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gHoldersDeleted, 1);

  host_.documentWindow = nullptr;
  qxViewHolder* orphan = Chain({&a, &a});
  orphan->SetValueAt(iProperty::kBeginEdit, ppParameter(0), true);
  orphan->SetValueAt(iProperty::kEndEdit, ppParameter(0), true);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gHoldersDeleted, 3);
}

TEST_F(qxViewHolderTest, AnAssociationListKeepsOneLinkPerElement) {
  zelvproElement owner(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  zelvproElement x(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  zelvproElement y(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  owner.AddAssociate(&x);
  owner.AddAssociate(&y);
  owner.AddAssociate(&x);
  ASSERT_NE(owner.Associates(), nullptr);
  EXPECT_EQ(owner.Associates()->CountChain(), 2);
  owner.RemoveAssociate(&x);
  EXPECT_EQ(owner.Associates()->CountChain(), 1);
  EXPECT_EQ(owner.Associates()->Element(), &y);
  EXPECT_EQ(owner.Associates()->Head(), nullptr);  // a link, not a selection
}

TEST_F(qxViewHolderTest, RegionsCoverFramesOrOutlinesInPixelsAndLeaveTheOutlineAlone) {
  zelvproCanvas canvas(nullptr, Rect(0, 0, 500, 500), nullptr);
  auto* framed = new zelvproElement(0, &canvas, Rect(100, 10, 120, 40), nullptr, 0, 0);
  auto* outlined = new zelvproElement(0, &canvas, Rect(0, 0, 1, 1), nullptr, 0, 0);
  zelvDatabase& db = MakeDatabase();
  zelvproShapeFil& shapes = db.ShapeFile();
  shapes.ClearRecordBuffer(nullptr);
  const auto f = [](float v) { return std::bit_cast<int32_t>(v); };
  cattest::SetWords(shapes, "points", {f(0), f(0), f(300), f(0), f(300), f(150), f(0), f(150)});
  outlined->outlines = std::make_unique<zelvproShape>(shapes, shapes.GetRecordBuffer(), 0, 0, 0.0f, 0.0f);
  outlined->SetPosition(ppVector3(150.0f, 0.0f, 300.0f));  // scale 15 mm per pixel, origin (0, 0)

  std::unique_ptr<qxViewHolder> chain(Chain({outlined, framed}));
  plat::RECT bounds{};
  chain->ChainRegion()->GetBounds(&bounds);
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.top, 10);
  EXPECT_EQ(bounds.right, 120);
  EXPECT_EQ(bounds.bottom, 40);
  chain->BuildRegion(nullptr)->GetBounds(&bounds);
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.top, 20);

  // A quarter turn of the feedback stands the outline on its side; the outline keeps its points.
  chain->angle = float(std::numbers::pi / 2);
  chain->BuildRegion(nullptr)->GetBounds(&bounds);
  EXPECT_EQ(bounds.right - bounds.left, 10);
  EXPECT_EQ(bounds.bottom - bounds.top, 20);
  chain->angle = 0.0f;
  chain->BuildRegion(nullptr)->GetBounds(&bounds);
  EXPECT_EQ(bounds.right - bounds.left, 20);
}

}  // namespace
