// The placement-warning check passes over units that carry no warning option: a plan of 500 demo
// units of which 10 carry warning options, against a plan of those 10 alone, in one run. The ten
// stand in pairs whose zones meet (a door swing beside an appliance clearance), so the check does
// its real work on them; the other 490 only cost the pre-test. The ratio must stay at or below 1.5.
// Times are thread CPU times, the fastest of several rounds; the time of one check is printed.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/warnings/WarningRules.h"
#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kPlanUnits = 500, kWarnedUnits = 10, kRounds = 25;
constexpr double kLimit = 1.5;

class Host : public iElementHost {
 public:
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? db : nullptr; }
  zelvproElement* TopCanvas() override { return top; }
  zelvDatabase* db = nullptr;
  zelvproElement* top = nullptr;
};

int32_t TopViewNamed(zelvDatabase& db, const std::string& name) {
  zelvproTopViewFil& file = db.TopViewFile();
  file.SelectAll();
  for (int32_t i = 0; i < file.GetSelectedCount(); ++i) {
    file.ReadRecordAt(i, nullptr);
    if (std::string(RecordField(file, "Name").Text(file.GetRecordBuffer()).c_str()) == name)
      return file.RecordIdAt(i);
  }
  return 0;
}

void Place(zelvDatabase& db, zelvproTopCanvas& plan, int32_t record, float x, float z) {
  db.TopViewFile().ReadRecord(record, nullptr);
  auto* unit = new zelvproTopViewElement(record, &plan, plat::RECT{0, 0, 10, 10},
                                         db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
  unit->SetPosition(ppVector3(x, 0.0f, z));
}

// A plan of `total` units: the warned pairs along one wall 3 m apart, the plain units in rows behind.
std::unique_ptr<zelvproTopCanvas> MakePlan(zelvDatabase& db, int32_t total) {
  auto plan = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, &db);
  const int32_t door = TopViewNamed(db, "B60S"), washer = TopViewNamed(db, "ADW60C"),
                plain = TopViewNamed(db, "B60");
  for (int32_t i = 0; i < kWarnedUnits; i += 2) {
    Place(db, *plan, door, float(i) * 1500.0f, 0.0f);
    Place(db, *plan, washer, float(i) * 1500.0f + 600.0f, 0.0f);
  }
  for (int32_t i = kWarnedUnits; i < total; ++i)
    Place(db, *plan, plain, float(i % 50) * 600.0f, 2000.0f + float(i / 50) * 1000.0f);
  return plan;
}

double Measure(Host& host, zelvDatabase& db, int32_t total, int32_t& warned) {
  std::unique_ptr<zelvproTopCanvas> plan = MakePlan(db, total);
  host.top = plan.get();
  // The numbers a round sets are set again by the next one: the check alone is timed.
  plan->ClearTreeMark();
  const double seconds =
      bench::FastestThreadSeconds(kRounds, [&] { WarningRules::Program().CheckPlan(host); });
  std::vector<zelvproElement*> all;
  plan->CollectTree(all);
  warned = 0;
  for (zelvproElement* e : all)
    if (auto* unit = dynamic_cast<zelvproTopViewElement*>(e); unit != nullptr && unit->warningNumber != 0)
      ++warned;
  host.top = nullptr;
  return seconds;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::DemoSettingsFolder folder("warnings", DEMO_SETTINGS_DIR);
    const fs::path& root = folder.Root();
    ppFileSpec file(Vcon::WString((root / "settings/catalogs/kitchen.cdb").string().c_str()));
    zelvDatabase db(file);
    Host host;
    host.db = &db;
    iElementHost::Install(&host);
    TopViewElementFactory::Install();
    WarningRules::ReadAtStartup();
    int32_t warnedSmall = 0, warnedLarge = 0;
    const double small = Measure(host, db, kWarnedUnits, warnedSmall);
    const double large = Measure(host, db, kPlanUnits, warnedLarge);
    std::printf("one check: %d units %.3f ms, %d units %.3f ms; warned units %d and %d\n", kWarnedUnits,
                small * 1e3, kPlanUnits, large * 1e3, warnedSmall, warnedLarge);
    if (warnedSmall != kWarnedUnits || warnedLarge != kWarnedUnits) {
      std::printf("the check did not warn every unit of the meeting pairs\n");
      ++bench::MissedReaches();
    }
    bench::ReachAtMost("warning check 500 / 10 units", large / small, kLimit);
    iElementHost::Install(nullptr);
  }
  MemTerminate();
  return bench::ReachStatus();
}
