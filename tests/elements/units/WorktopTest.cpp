// Worktops: the worktop table read from its text file, the covering of a run by catalogue pieces,
// the generated pieces and their removal, and the joining of the runs units make in turn.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>

#include "elements/base/qxViewHolder.h"
#include "elements/units/UnitsTestSupport.h"
#include "elements/units/WallTopViewRecord.h"
#include "elements/units/WorktopBuilder.h"
#include "elements/units/WorktopTable.h"
#include "elements/units/zelvproWorkTopElement.h"
#include "platform/HeadlessDriver.h"

namespace {

using Worktop = zelvproWorkTopElement;

class WorktopTest : public unittest::UnitsTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    UnitsTest::SetUp();
    saved_ = std::filesystem::current_path();
    program_ = Path("program");
    std::filesystem::create_directories(program_ / "settings" / "info");
    std::filesystem::current_path(program_);
  }
  void TearDown() override {
    std::filesystem::current_path(saved_);
    WorktopBuilder::RemoveGeneratedPieces();
    WorktopTable::Clear();
    WallTopViewRecord::Reset();
    UnitsTest::TearDown();
  }

  // A worktop item of stored "ID" `storedId`, `width` x 40 x 600.
  int32_t AddWorktop(zelvDatabase& db, int32_t storedId, double width, int32_t type = 12) {
    const int32_t shape = AddShape(db, {0, 0, 600, 0, 600, 600, 0, 600});
    return AddTopView(
        db, {{"ID", storedId}, {"Type", type}, {"width", width}, {"height", 40.0}, {"depth", 600.0}},
        {{"Subelements", eltest::PieceEntry(shape, 0, 0)}});
  }
  // The main catalogue (identifier 1 for the lookups) with its worktop record.
  zelvDatabase& MainCatalogue() {
    zelvDatabase& db = MakeDatabase();
    host_.databases[1] = &db;
    AddWorktop(db, WallTopViewRecord::kStoredId, 600.0, 0);
    return db;
  }
  void WriteTable(const std::string& text) {
    std::ofstream(program_ / "settings" / "info" / "worktops.txt", std::ios::binary) << text;
  }
  static std::vector<float> TableWidths() {
    std::vector<float> widths;
    for (const WorktopInfo& entry : WorktopTable::Entries()) widths.push_back(entry.size.x);
    return widths;
  }
  static std::vector<zelvproElement*> ChildrenOf(const ppView& view) {
    std::vector<zelvproElement*> children;
    for (int32_t i = 0; i < view.Subviews().Count(); ++i)
      children.push_back(static_cast<zelvproElement*>(view.Subviews().At(i)));
    return children;
  }
  // A run of `length` in kitchen group `group`, `height` above the floor, 40 thick and 600 deep.
  static Worktop* MakeRun(float length, int32_t group = 5, float height = 860.0f) {
    Worktop* run = Worktop::NewWorktopElement(nullptr);
    run->dimensions = ppVector3(length, 40, 600);
    run->kitchenGroup = group;
    run->position.y = height;
    return run;
  }

  std::filesystem::path saved_, program_;
};

TEST_F(WorktopTest, TableTakesLinesInFileOrderUntilOneHasASingleField) {
  zelvDatabase& db = MakeDatabase();
  const std::string id = std::to_string(db.Identifier());
  AddWorktop(db, 500, 1200.0);
  AddWorktop(db, 501, 1800.0);
  AddWorktop(db, 502, 2400.0);
  struct Case {
    const char* what;
    std::string text;  // empty: no file
    std::vector<float> widths;
  } cases[] = {
      {"single field stops", id + "\t500\n" + id + "\t501\n7\n" + id + "\t502\n", {1200, 1800}},
      {"unknown catalogue, missing record", "999\t500\n" + id + "\t77\n" + id + "\t502", {2400}},
      {"quoted fields, CR LF", "\"" + id + "\"\t\"501\"\r\n", {1800}},
      {"no file", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(program_ / "settings" / "info" / "worktops.txt");
    if (!c.text.empty()) WriteTable(c.text);
    WorktopTable::ReadWorktopInfo();
    EXPECT_EQ(TableWidths(), c.widths);
    for (const WorktopInfo& entry : WorktopTable::Entries()) EXPECT_EQ(entry.db, &db);
  }
}

TEST_F(WorktopTest, CoveringTakesTheFirstWideEnoughEntryOrCutsTheLastOne) {
  using Cuts = std::vector<std::pair<size_t, float>>;
  const std::vector<float> table = {1200, 1800, 2400};
  struct Case {
    std::vector<float> widths;
    float length;
    Cuts cuts;
  } cases[] = {
      {table, 1500, {{1, 1500}}},
      {table, 1200, {{0, 1200}}},
      {table, 5000, {{2, 2400}, {2, 2400}, {0, 200}}},
      {table, -1, {}},  // a run without length
      {{}, 1500, {}},
      // A last entry that cannot cover anything ends the covering.
      {{1200, 0}, 5000, {}},
      {{-5}, 10, {}},
      // A damaged plan's run far beyond any kitchen takes no pieces rather than never ending; one
      // entry wide enough still takes it whole.
      {table, 1e34f, {}},
      {{1200, 1e35f}, 1e34f, {{1, 1e34f}}},
  };
  for (const Case& c : cases) {
    Cuts cuts;
    for (const WorktopTable::Cut& cut : WorktopTable::Cover(c.widths, c.length))
      cuts.emplace_back(cut.entry, cut.length);
    EXPECT_EQ(cuts, c.cuts) << c.length;
  }
  EXPECT_EQ(WorktopBuilder::MaskOfColourIndex(0), 1);
  EXPECT_EQ(WorktopBuilder::MaskOfColourIndex(-3), 1);
  EXPECT_EQ(WorktopBuilder::MaskOfColourIndex(3), 4);
}

TEST_F(WorktopTest, PiecesCoverEveryRunAndGoWithTheirLines) {
  zelvDatabase& db = MainCatalogue();
  const std::string id = std::to_string(db.Identifier());
  const int32_t r1200 = AddWorktop(db, 500, 1200.0), r1800 = AddWorktop(db, 501, 1800.0);
  const int32_t r2400 = AddWorktop(db, 502, 2400.0);
  WriteTable(id + "\t500\n" + id + "\t501\n" + id + "\t502\n");
  WorktopTable::ReadWorktopInfo();

  eltest::RecordingCanvas canvas(eltest::Rect(0, 0, 100, 100));
  for (float length : {1500.0f, 5000.0f}) canvas.AddSubview(MakeRun(length));
  WorktopBuilder::GenerateWorktopPieces(canvas);
  std::vector<std::pair<int32_t, float>> pieces;
  for (zelvproElement* child : ChildrenOf(canvas)) {
    if (child->kind == Worktop::kType) {
      EXPECT_FALSE(WorktopBuilder::IsGeneratedPiece(child));
      continue;
    }
    EXPECT_TRUE(WorktopBuilder::IsGeneratedPiece(child));
    EXPECT_EQ(child->dimensions.y, 40.0f);
    pieces.emplace_back(child->recordId, child->dimensions.x);
  }
  const std::vector<std::pair<int32_t, float>> expected = {
      {r1800, 1500}, {r2400, 2400}, {r2400, 2400}, {r1200, 200}};
  EXPECT_EQ(pieces, expected);

  // Generating again replaces the pieces; removing them takes their lines first.
  WorktopBuilder::GenerateWorktopPieces(canvas);
  EXPECT_EQ(ChildrenOf(canvas).size(), 2u + 4u);
  lines_.removed.clear();
  WorktopBuilder::RemoveGeneratedPieces();
  EXPECT_EQ(lines_.removed.size(), 4u);
  EXPECT_EQ(qxViewHolder::ExclusionChain(), nullptr);
  EXPECT_EQ(ChildrenOf(canvas).size(), 2u);
  WorktopBuilder::RemoveWorktopRuns(canvas);
  EXPECT_TRUE(ChildrenOf(canvas).empty());

  // Pieces that go with their canvas leave the list of generated pieces.
  {
    eltest::RecordingCanvas closing(eltest::Rect(0, 0, 100, 100));
    closing.AddSubview(MakeRun(5000));
    WorktopBuilder::GenerateWorktopPieces(closing);
    EXPECT_NE(qxViewHolder::ExclusionChain(), nullptr);
  }
  EXPECT_EQ(qxViewHolder::ExclusionChain(), nullptr);
}

TEST_F(WorktopTest, NoWorktopRecordMakesNoRun) {
  zelvDatabase& db = MakeDatabase();
  host_.databases[1] = &db;
  EXPECT_EQ(Worktop::NewWorktopElement(nullptr), nullptr);  // catalogue 1 without the record
  host_.databases.erase(1);
  EXPECT_EQ(Worktop::NewWorktopElement(nullptr), nullptr);  // no catalogue 1
  AddWorktop(db, WallTopViewRecord::kStoredId, 600.0, 0);
  host_.databases[1] = &db;
  std::unique_ptr<Worktop> run(Worktop::NewWorktopElement(nullptr));
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->kind, 17);
  EXPECT_EQ(run->dimensions.x, Worktop::kNoLength);
}

TEST_F(WorktopTest, ConsecutiveRunsJoinWhenGroupTextureAndSizesAgree) {
  MainCatalogue();
  struct Case {
    const char* what;
    int32_t group;
    float height;
    size_t attached;  // runs finished on the canvas
    float continuedLength;
  } cases[] = {
      {"same group", 5, 860, 0, 1500},
      {"other group", 6, 860, 1, 900},
      {"height 0.0625 apart", 5, 860.0625f, 0, 1500},
      {"height 0.125 apart", 5, 860.125f, 1, 900},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    eltest::RecordingCanvas canvas(eltest::Rect(0, 0, 100, 100));
    std::unique_ptr<Worktop> run(
        WorktopBuilder::CombineRuns(MakeRun(600), {MakeRun(900, c.group, c.height)}, canvas));
    EXPECT_EQ(ChildrenOf(canvas).size(), c.attached);
    EXPECT_EQ(run->dimensions.x, c.continuedLength);
  }
  // A first run replaces the run without length; runs past the first two are dropped.
  eltest::RecordingCanvas canvas(eltest::Rect(0, 0, 100, 100));
  Worktop* second = MakeRun(300, 9);
  std::unique_ptr<Worktop> run(
      WorktopBuilder::CombineRuns(MakeRun(Worktop::kNoLength), {MakeRun(700), second, MakeRun(800)}, canvas));
  EXPECT_EQ(run->dimensions.x, 700.0f);
  EXPECT_EQ(ChildrenOf(canvas), std::vector<zelvproElement*>{second});
}

}  // namespace

namespace {

// The unit's own worktop part (unit flag 0x4000) makes a run in the unit's kitchen group; units
// without one keep the current run.
TEST_F(WorktopTest, UnitsWithWorktopPartsMakeRunsInTheirKitchenGroup) {
  zelvDatabase& db = MainCatalogue();
  const int32_t worktopUnit = AddTopView(db, {}, {{"Units", {AddUnit(db, {{"flags", 0x4000}}), 0}}});
  const int32_t plainUnit = AddTopView(db, {}, {{"Units", {AddUnit(db, {{"flags", 0}}), 0}}});
  struct Case {
    const char* what;
    int32_t firstGroup, secondGroup, secondItem;
    size_t runsAttached;  // by the second unit's step
  } cases[] = {
      {"same group", 5, 5, worktopUnit, 0},
      {"other group", 5, 6, worktopUnit, 0 + 1},
      {"no worktop part", 5, 6, plainUnit, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    eltest::RecordingCanvas canvas(eltest::Rect(0, 0, 100, 100));
    zelvproTopViewElement* first = Make(db, worktopUnit, &canvas);
    zelvproTopViewElement* second = Make(db, c.secondItem, &canvas);
    first->enumGroup = c.firstGroup;
    second->enumGroup = c.secondGroup;
    WorktopBuilder builder;
    zelvproElement* run = builder.BuildWorktopsOfUnit(*first, builder.NewWorktop());
    ASSERT_EQ(run->kind, Worktop::kType);
    EXPECT_EQ(static_cast<Worktop*>(run)->kitchenGroup, c.firstGroup);
    EXPECT_EQ(run->dimensions.x, 0.0f);  // a part without 3D geometry has no length
    std::unique_ptr<zelvproElement> last(builder.BuildWorktopsOfUnit(*second, run));
    EXPECT_EQ(ChildrenOf(canvas).size(), 2u + c.runsAttached);
    EXPECT_EQ(last.get() == run, c.runsAttached == 0);
  }
}

// A unit's angle from a damaged document reaches the run's direction: it ends in [0, 2 pi] however
// large it is (a turn-by-turn reduction never ended from about 1.3e8 radians), and a direction over a
// turn and a half no longer comes out negative.
TEST_F(WorktopTest, RunDirectionsStayWithinOneTurnWhateverTheUnitsAngle) {
  zelvDatabase& db = MainCatalogue();
  const int32_t worktopUnit = AddTopView(db, {}, {{"Units", {AddUnit(db, {{"flags", 0x4000}}), 0}}});
  const float turn = 2.0f * std::numbers::pi_v<float>;
  struct Case {
    float angle, direction;
  } cases[] = {
      {1.0f, 1.0f},     {10.0f, 10.0f - turn}, {-1.0f, turn - 1.0f}, {3e8f, -1.0f},     {-3e8f, -1.0f},
      {FLT_MAX, -1.0f}, {-FLT_MAX, -1.0f},     {NAN, 0.0f},          {-INFINITY, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    eltest::RecordingCanvas canvas(eltest::Rect(0, 0, 100, 100));
    zelvproTopViewElement* unit = Make(db, worktopUnit, &canvas);
    unit->StoreAngle(c.angle);
    WorktopBuilder builder;
    std::unique_ptr<zelvproElement> run(builder.BuildWorktopsOfUnit(*unit, builder.NewWorktop()));
    ASSERT_EQ(run->kind, Worktop::kType);
    const float direction = static_cast<Worktop*>(run.get())->directionAngle;
    EXPECT_GE(direction, 0.0f);
    EXPECT_LE(direction, turn);
    if (c.direction >= 0.0f) EXPECT_NEAR(direction, c.direction, 1e-5f);
  }
}

}  // namespace
