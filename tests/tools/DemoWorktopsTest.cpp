// The demo's worktop information file as mkcatalog checks and copies it, and the worktop pass on a
// plan of demo base units that carry worktop parts: the runs it makes and the catalogue worktops
// that cover them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "elements/units/WallTopViewRecord.h"
#include "elements/units/WorktopBuilder.h"
#include "elements/units/WorktopTable.h"
#include "elements/units/zelvproWorkTopElement.h"
#include "platform/HeadlessDriver.h"
#include "support/DemoSettings.h"
#include "tools/mkcatalog/Mkcatalog.h"
#include "tools/mkcatalog/SourceError.h"
#include "tools/mkcatalog/WorktopInfo.h"

namespace {

namespace fs = std::filesystem;

const char* const kInfo = "info/worktops.txt";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Makes a folder current for its lifetime (the program reads ".\settings\info\worktops.txt").
class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : saved_(fs::current_path()) { fs::current_path(folder); }
  ~CurrentFolder() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

class Host : public iElementHost {
 public:
  zelvDatabase* FindDatabase(int32_t identifier) override {
    return identifier == WallTopViewRecord::kCatalogue ? db : nullptr;
  }
  zelvDatabase* db = nullptr;
};

class DemoWorktops : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_.db = db_.get();
    iElementHost::Install(&host_);
    TopViewElementFactory::Install();
    WorktopBuilder::InstallDefault();
  }
  void TearDown() override {
    WorktopBuilder::RemoveGeneratedPieces();
    WorktopTable::Clear();
    WallTopViewRecord::Reset();
    iElementHost::Install(nullptr);
    db_.reset();
    plat::HeadlessDriver::Reset();
  }

  // The record id of the demo's top-view record with stored "ID" `storedId`.
  int32_t TopView(int32_t storedId) {
    return CatalogReads::RecordOfStoredId(db_->TopViewFile(), storedId, "ID");
  }
  // The record id of the demo's top-view record named `name`.
  int32_t TopViewNamed(const std::string& name) {
    zelvproTopViewFil& file = db_->TopViewFile();
    file.SelectAll();
    for (int32_t i = 0; i < file.GetSelectedCount(); ++i) {
      file.ReadRecordAt(i, nullptr);
      if (std::string(RecordField(file, "Name").Text(file.GetRecordBuffer()).c_str()) == name)
        return file.RecordIdAt(i);
    }
    return 0;
  }
  // A unit of the demo item `name` in kitchen group `group`, placed `x` millimetres along the wall.
  void Place(zelvproTopCanvas& plan, const std::string& name, int32_t group, float x) {
    const int32_t item = TopViewNamed(name);
    ASSERT_NE(item, 0) << name;
    db_->TopViewFile().ReadRecord(item, nullptr);
    auto* unit = new zelvproTopViewElement(item, &plan, plat::RECT{0, 0, 10, 10},
                                           db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    unit->enumGroup = group;
    unit->SetPosition(ppVector3(x, 0.0f, 0.0f));
  }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> db_;
  Host host_;
};

TEST_F(DemoWorktops, TheBuiltFileIsItsSourceAndListsDemoWorktopsByAscendingWidth) {
  const std::string source = ReadText(fs::path(PLANNER_SOURCE_DIR) / "data/demo" / kInfo);
  EXPECT_EQ(ReadText(demo_.File(kInfo)), source);
  const size_t lines = size_t(std::count(source.begin(), source.end(), '\n'));
  ASSERT_GE(lines, 3u);

  CurrentFolder root(demo_.Root());
  WorktopTable::ReadWorktopInfo();
  const std::vector<WorktopInfo>& entries = WorktopTable::Entries();
  ASSERT_EQ(entries.size(), lines);  // every line names a record of the main catalogue
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].db, db_.get());
    EXPECT_EQ(entries[i].size.y, 40.0f) << i;
    EXPECT_EQ(entries[i].size.z, 600.0f) << i;
    if (i > 0) EXPECT_LT(entries[i - 1].size.x, entries[i].size.x) << i;
  }
}

// Base units with a worktop in one kitchen group make one run of their summed widths; a unit without
// a worktop part neither breaks nor lengthens it; the runs are covered first-fit from the table.
TEST_F(DemoWorktops, ThePassBuildsRunsOnADemoPlanAndTheTableCoversThem) {
  CurrentFolder root(demo_.Root());
  WorktopTable::ReadWorktopInfo();
  ASSERT_EQ(WorktopTable::Entries().size(), 3u);
  const int32_t wt1000 = TopViewNamed("WT"), wt3000 = TopViewNamed("WT300");

  zelvproTopCanvas plan(nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr);
  Place(plan, "BW60", 1, 0);
  Place(plan, "BW80", 1, 600);
  Place(plan, "B60", 1, 1400);  // no worktop part
  Place(plan, "BW100", 1, 2000);
  for (int32_t i = 0; i < 4; ++i) Place(plan, "BW100", 2, 4000.0f + 1000.0f * float(i));
  plan.GenerateWorktops();

  std::vector<std::pair<int32_t, float>> runs;  // kitchen group, length
  for (int32_t i = 0; i < plan.Subviews().Count(); ++i) {
    auto* child = static_cast<zelvproElement*>(plan.Subviews().At(i));
    if (child->kind != zelvproWorkTopElement::kType) continue;
    auto* run = dynamic_cast<zelvproWorkTopElement*>(child);
    ASSERT_NE(run, nullptr);
    runs.emplace_back(run->kitchenGroup, run->dimensions.x);
    EXPECT_FLOAT_EQ(run->dimensions.z, 600.0f);  // the worktop's depth
  }
  std::sort(runs.begin(), runs.end());
  EXPECT_EQ(runs, (std::vector<std::pair<int32_t, float>>{{1, 2400.0f}, {2, 4000.0f}}));

  WorktopBuilder::GenerateWorktopPieces(plan);
  std::vector<std::pair<int32_t, float>> pieces;  // record, length
  for (qxViewHolder* h = qxViewHolder::ExclusionChain(); h != nullptr; h = h->Next())
    pieces.emplace_back(h->Element()->recordId, h->Element()->dimensions.x);
  std::sort(pieces.begin(), pieces.end());
  std::vector<std::pair<int32_t, float>> expected = {{wt3000, 2400.0f}, {wt3000, 3000.0f}, {wt1000, 1000.0f}};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(pieces, expected);
  EXPECT_EQ(TopView(36), wt1000);  // the table names the worktops by stored "ID"
}

TEST(DemoWorktopsSource, TheCheckRefusesWhatTheProgramWouldMisreadWithItsLine) {
  DemoSettings scratch;
  const fs::path file = scratch.Root() / "worktops.txt";
  const std::vector<mkcatalog::WorktopCatalogue> catalogues = {
      {1, {{"36", "1000.0"}, {"50", "2000.0"}, {"51", "3000.0"}, {"9", "0.0"}}}, {2, {}}};
  struct Case {
    std::string text;
    int line;  // 0: accepted
    const char* message;
  } cases[] = {
      {"1\t36\n1\t50\n1\t51\n", 0, ""},
      {"1\t36\r\n1\t50\r\n", 0, ""},
      {"", 0, ""},
      {"1\t50\n1\t36\n1\t51\n", 2, "the widths must ascend"},
      {"1\t36\n1\t36\n", 2, "the widths must ascend"},
      {"1\t9\n", 1, "the top-view record 9 has no width"},
      {"1\t36\n1\t999\n", 2, "catalogue 1 has no top-view record with ID 999"},
      {"2\t36\n", 1, "catalogue 2 has no top-view record with ID 36"},
      {"7\t36\n", 1, "no catalogue has the identifier 7"},
      {"1\t36\n\n1\t50\n", 2, "a line holds two fields, not 1"},
      {"1\t36\t9\n", 1, "a line holds two fields, not 3"},
      {"1\t36\n1\t50", 2, "the last line has no line break"},
      {"1\t\"36\"\n", 1, "'\"36\"' is not a plain decimal number"},
      {"1\t-36\n", 1, "'-36' is not a plain decimal number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << c.text;
    try {
      mkcatalog::CheckWorktopInfo(file, catalogues);
      EXPECT_EQ(c.line, 0) << "accepted";
    } catch (const mkcatalog::SourceError& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.rfind(file.string() + ":" + std::to_string(c.line) + ": ", 0), 0u) << what;
      EXPECT_NE(what.find(c.message), std::string::npos) << what;
    }
  }
}

// A faulty worktop file in the demo sources stops the build before any database is written; the
// settings folder of the previous build stays.
TEST(DemoWorktopsSource, AFaultyWorktopFileStopsTheBuild) {
  DemoSettings demo;
  const fs::path sources = demo.Root() / "sources", output = demo.Root() / "out";
  fs::copy(fs::path(PLANNER_SOURCE_DIR) / "data/demo", sources, fs::copy_options::recursive);
  fs::create_directories(output);
  std::ofstream(output / "previous") << "kept";
  std::ofstream(sources / kInfo, std::ios::binary | std::ios::trunc) << "1\t50\n1\t36\n";
  std::ostringstream out, err;
  EXPECT_EQ(mkcatalog::RunMkcatalog({sources.string(), output.string()}, out, err), 1);
  EXPECT_EQ(err.str().rfind((sources / kInfo).string() + ":2: the widths must ascend", 0), 0u) << err.str();
  EXPECT_EQ(out.str(), "");  // nothing was built
  EXPECT_EQ(ReadText(output / "previous"), "kept");
  EXPECT_FALSE(fs::exists(fs::path(output.string() + ".partial")));
}

}  // namespace

// The induction hob drops onto base units and worktops, the handles onto the units that take them,
// and neither onto a unit of another kind.
TEST_F(DemoWorktops, TheHobAndHandlesAreAcceptedByTheirHosts) {
  CurrentFolder root(demo_.Root());
  zelvproTopCanvas plan(nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr);
  Place(plan, "B60", 1, 0.0f);
  Place(plan, "WT200", 1, 600.0f);
  Place(plan, "W60", 2, 0.0f);
  const int32_t hob = TopViewNamed("AHB60"), bar = TopViewNamed("HB"), knob = TopViewNamed("HK");
  ASSERT_NE(hob, 0);
  std::vector<zelvproTopViewElement*> units;
  for (int32_t i = 0; i < plan.Subviews().Count(); ++i)
    if (auto* unit = dynamic_cast<zelvproTopViewElement*>(plan.Subviews().At(i))) units.push_back(unit);
  ASSERT_EQ(units.size(), 3u);
  EXPECT_TRUE(units[0]->AcceptsAccessory(hob));
  EXPECT_TRUE(units[1]->AcceptsAccessory(hob));
  EXPECT_FALSE(units[2]->AcceptsAccessory(hob));  // a wall unit carries no hob
  for (auto* unit : {units[0], units[2]}) {
    EXPECT_TRUE(unit->AcceptsAccessory(bar));
    EXPECT_TRUE(unit->AcceptsAccessory(knob));
  }
}
