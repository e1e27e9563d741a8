// The parts list and the calculation lines of a plan grow linearly with the plan: CollectParts and
// AddToCalculation over a plan of 200 units against one of 20, in one run. Every unit is delivered
// as a parts list of five parts of its own (1,000 list entries for the large plan) and has a price
// record; the calculation lines go to a list that keeps them by element. Linear work gives a time
// ratio of 10; a list walked from its start for every entry gives about 100. Each ratio must stay
// at or below 15.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
#include "elements/base/PartsList.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

using bench::AddRecord;

constexpr double kLimit = 15.0;

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kPartsPerUnit = 5, kRepeats = 25;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fastest of several runs: the least disturbed by the rest of the machine.
double Fastest(const std::function<void()>& run) {
  double best = 1e9;
  for (int32_t i = 0; i < kRepeats; ++i) best = std::min(best, Seconds(run));
  return best;
}

void SetLong(ppDatafile& table, const char* name, int32_t value) {
  table.SetFieldValue(table.IndexOf(name), ppParameter(value), nullptr);
}

void SetWords(ppDatafile& table, const char* name, const std::vector<int32_t>& words) {
  Handle data = RecordField(table, name).Data(table.GetRecordBuffer());
  MemSetSize(data, uint32_t(words.size() * 4));
  std::copy(words.begin(), words.end(), reinterpret_cast<int32_t*>(*data));
}

// A top-view record of a unit of five parts of its own, each part priced.
int32_t AddItem(zelvDatabase& db) {
  zelvproUnitFil& units = db.UnitFile();
  std::vector<int32_t> parts;
  for (int32_t p = 0; p < kPartsPerUnit; ++p) {
    units.ClearRecordBuffer(nullptr);
    const int32_t part = AddRecord(units);
    db.PriceFile().ClearRecordBuffer(nullptr);
    SetLong(db.PriceFile(), "module", part);
    SetLong(db.PriceFile(), "xprice", 100 + p);
    AddRecord(db.PriceFile());
    parts.insert(parts.end(), {part, 2, 0});
  }
  units.ClearRecordBuffer(nullptr);
  SetLong(units, "flags", 0x1);
  SetWords(units, "partsList", parts);
  const int32_t unit = AddRecord(units);
  zelvproTopViewFil& items = db.TopViewFile();
  items.ClearRecordBuffer(nullptr);
  SetWords(items, "Units", {unit, 0});
  return AddRecord(items);
}

std::unique_ptr<zelvproTopCanvas> MakePlan(zelvDatabase& db, int32_t units) {
  auto canvas = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr);
  std::vector<int32_t> items;
  db.UnitFile().BeginTransaction();
  for (int32_t i = 0; i < units; ++i) items.push_back(AddItem(db));
  db.UnitFile().EndTransaction();
  for (int32_t item : items) {
    db.TopViewFile().ReadRecord(item, nullptr);
    new zelvproTopViewElement(item, canvas.get(), plat::RECT{0, 0, 10, 10},
                              db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
  }
  return canvas;
}

struct Times {
  double parts, lines;
};

Times Measure(zelvDatabase& db, bench::LinesByElement& lines, int32_t units) {
  std::unique_ptr<zelvproTopCanvas> plan = MakePlan(db, units);
  size_t entries = 0;
  const double parts = Fastest([&] {
    PartsList list;
    plan->CollectParts(list);
    entries = list.Count();
  });
  plan->AddToCalculation();  // fills the price look-up cache
  const double calculation = Fastest([&] { plan->AddToCalculation(); });
  std::printf(
      "%4d units: %5zu parts-list entries, %4zu elements with lines; CollectParts %8.3f ms, "
      "AddToCalculation %8.3f ms\n",
      units, entries, lines.Count(), parts * 1e3, calculation * 1e3);
  plan.reset();
  return {parts, calculation};
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("partslist");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      bench::LinesByElement lines(db);
      iCalculationList::Install(&lines);
      const Times small = Measure(db, lines, kSmallPlan);
      const Times large = Measure(db, lines, kLargePlan);
      iCalculationList::Install(nullptr);
      const double partsRatio = large.parts / small.parts, linesRatio = large.lines / small.lines;
      bench::ReachAtMost("partslist CollectParts 200 / 20 units", partsRatio, kLimit);
      bench::ReachAtMost("partslist AddToCalculation 200 / 20 units", linesRatio, kLimit);
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
