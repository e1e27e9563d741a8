// The worktop pass and the covering of its runs by catalogue pieces, with the pieces' price lines,
// grow linearly with the plan: a plan of 200 base units against one of 20, in one run. Every unit
// is 600 wide with a worktop part; five consecutive units share a kitchen group and so make one run
// of 3000, covered by a piece of 2400 and one of 600. Each round removes the previous pieces (and
// their lines) and runs, builds the runs again, covers them and prices the pieces. Linear work gives
// a time ratio of 10; removing a piece's lines by walking the whole line list gives about 100. The
// ratio must stay at or below 15. Times are thread CPU times, the fastest of several rounds.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "elements/units/WallTopViewRecord.h"
#include "elements/units/WorktopBuilder.h"
#include "elements/units/WorktopTable.h"
#include "elements/units/zelvproWorkTopElement.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

using bench::AddRecord;
using bench::FloatWord;
using bench::SetBlob;
using bench::SetField;

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kUnitsPerRun = 5, kRepeats = 25;
constexpr double kLimit = 15.0;
constexpr float kUnitWidth = 600.0f;

// The bench's catalogue is catalogue 1, the one that holds the worktop record.
class Host : public iElementHost {
 public:
  explicit Host(zelvDatabase& db) : db_(db) {}
  zelvDatabase* FindDatabase(int32_t identifier) override {
    return identifier == WallTopViewRecord::kCatalogue ? &db_ : nullptr;
  }

 private:
  zelvDatabase& db_;
};

int32_t AddShape(zelvDatabase& db, const std::vector<float>& points) {
  zelvproShapeFil& shapes = db.ShapeFile();
  shapes.ClearRecordBuffer(nullptr);
  SetBlob(shapes, "points", points.data(), points.size() * 4);
  const std::vector<uint32_t> flags(points.size() / 2, 0);
  SetBlob(shapes, "attributes", flags.data(), flags.size() * 4);
  return AddRecord(shapes);
}

// A unit record; `worktop` gives it the worktop flag and a 3D body, a slab `kUnitWidth` x 40 x 600
// (an extruded outline), so that its run has a length. Every unit has a price record.
int32_t AddUnit(zelvDatabase& db, bool worktop) {
  zelvproUnitFil& units = db.UnitFile();
  units.ClearRecordBuffer(nullptr);
  if (worktop) {
    const int32_t shape = AddShape(db, {0, 0, kUnitWidth, 0, kUnitWidth, 40, 0, 40});
    const float depth = 600.0f, x = 0.0f;
    const int32_t entry[10] = {shape, 0, FloatWord(depth), FloatWord(x), 0, 0, 0, 0, 0, 0};
    SetField(units, "flags", ppParameter(0x4000));
    SetField(units, "useParametrics", ppParameter(0));
    SetBlob(units, "shapes3D", entry, sizeof entry);
  }
  const int32_t unit = AddRecord(units);
  db.PriceFile().ClearRecordBuffer(nullptr);
  SetField(db.PriceFile(), "module", ppParameter(unit));
  SetField(db.PriceFile(), "xprice", ppParameter(100));
  AddRecord(db.PriceFile());
  return unit;
}

// A top-view record of stored "ID" `storedId`, `width` x 40 x 600, made of `unit`.
int32_t AddItem(zelvDatabase& db, int32_t storedId, double width, int32_t unit) {
  const int32_t shape = AddShape(db, {0, 0, float(width), 0, float(width), 600, 0, 600});
  zelvproTopViewFil& items = db.TopViewFile();
  items.ClearRecordBuffer(nullptr);
  SetField(items, "ID", ppParameter(storedId));
  SetField(items, "width", ppParameter(width));
  SetField(items, "height", ppParameter(40.0));
  SetField(items, "depth", ppParameter(600.0));
  const int32_t piece[6] = {shape, 0, 0, 0, 0, 0};
  SetBlob(items, "Subelements", piece, sizeof piece);
  const int32_t units[2] = {unit, 0};
  SetBlob(items, "Units", units, sizeof units);
  return AddRecord(items);
}

// The worktop record, the table's pieces of 600, 1200 and 2400 (file order) and the base unit item.
int32_t AddCatalogue(zelvDatabase& db) {
  AddItem(db, WallTopViewRecord::kStoredId, 600.0, AddUnit(db, false));
  const std::string id = std::to_string(WallTopViewRecord::kCatalogue);
  std::string table;
  for (auto [storedId, width] : {std::pair{500, 600.0}, {501, 1200.0}, {502, 2400.0}}) {
    AddItem(db, storedId, width, AddUnit(db, false));
    table += id + "\t" + std::to_string(storedId) + "\n";
  }
  WorktopTable::ReadText(table);
  return AddItem(db, 77, kUnitWidth, AddUnit(db, true));
}

std::unique_ptr<zelvproTopCanvas> MakePlan(zelvDatabase& db, int32_t item, int32_t units) {
  auto canvas = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr);
  for (int32_t i = 0; i < units; ++i) {
    db.TopViewFile().ReadRecord(item, nullptr);
    auto* unit = new zelvproTopViewElement(item, canvas.get(), plat::RECT{0, 0, 10, 10},
                                           db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    unit->enumGroup = i / kUnitsPerRun + 1;
    unit->SetPosition(ppVector3(float(i) * kUnitWidth, 0.0f, 0.0f));
  }
  return canvas;
}

// One round: the pass (which drops the previous pieces with their lines, and the runs), the
// covering, and the pieces' price lines.
void Round(zelvproTopCanvas& plan) {
  plan.GenerateWorktops();
  WorktopBuilder::GenerateWorktopPieces(plan);
  for (qxViewHolder* h = qxViewHolder::ExclusionChain(); h != nullptr; h = h->Next())
    h->Element()->AddToCalculation();
}

double Measure(zelvDatabase& db, int32_t item, bench::LinesByElement& lines, int32_t units) {
  std::unique_ptr<zelvproTopCanvas> plan = MakePlan(db, item, units);
  Round(*plan);  // builds the units' geometry and fills the look-up caches
  const double seconds = bench::FastestThreadSeconds(kRepeats, [&] { Round(*plan); });
  int32_t runs = 0, pieces = 0;
  float covered = 0.0f;
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i) {
    auto* child = static_cast<zelvproElement*>(plan->Subviews().At(i));
    if (child->kind == zelvproWorkTopElement::kType) ++runs;
    if (WorktopBuilder::IsGeneratedPiece(child)) ++pieces, covered += child->dimensions.x;
  }
  std::printf("%4d units: %3d runs, %3d pieces covering %8.0f mm, %4zu elements with lines; %8.3f ms\n",
              units, runs, pieces, double(covered), lines.Count(), seconds * 1e3);
  if (covered != float(units) * kUnitWidth)
    std::printf("  the pieces should cover %.0f mm\n", units * kUnitWidth);
  WorktopBuilder::RemoveGeneratedPieces();
  plan.reset();
  return seconds;
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("worktops");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      Host host(db);
      iElementHost::Install(&host);
      TopViewElementFactory::Install();
      WorktopBuilder::InstallDefault();
      bench::LinesByElement lines(db);
      iCalculationList::Install(&lines);
      const int32_t item = AddCatalogue(db);
      const double small = Measure(db, item, lines, kSmallPlan);
      const double large = Measure(db, item, lines, kLargePlan);
      const double ratio = large / small;
      bench::ReachAtMost("worktops pass and pieces 200 / 20 units", ratio, kLimit);
      iCalculationList::Install(nullptr);
      WorktopTable::Clear();
      WallTopViewRecord::Reset();
      iElementHost::Install(nullptr);
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
