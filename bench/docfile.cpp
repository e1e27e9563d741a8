// Saving and opening a document grow linearly with the plan: a plan of 200 demo units with its price
// list against one of 20, in one run, on a copy of the demo settings. One round saves the document
// through the local document file operations (the plan's tree into its module table, the XML
// shopping list of the price list, the packed record written safely to disk) and opens the file
// again (read, unpack, the plan rebuilt from its table and re-snapped). The plan steps are the
// document window's canvas calls on a top canvas of its own. Linear work gives a time ratio of 10;
// the ratio must stay at or below 12. Times are thread CPU times (the disk flushes wait outside
// them), the fastest of several rounds.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "canvas/window/iDocumentCommands.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/iDocumentPlanSteps.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kRowLength = 10, kRounds = 7;
constexpr double kLimit = 12.0;

class Host : public iElementHost {
 public:
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? db : nullptr; }
  zelvproElement* TopCanvas() override { return top; }
  zelvDatabase* db = nullptr;
  zelvproElement* top = nullptr;
};

// The document window's save and load steps for one top canvas.
class CanvasSteps : public iDocumentPlanSteps {
 public:
  explicit CanvasSteps(zelvproTopCanvas& top) : top_(top) {}
  void SaveTrees(zelvproDocFil& document) override {
    zelvproDocModuleFil& table = document.FurnitureTable();
    table.DisposeRecords();
    top_.SaveTree(table, true, 0);
    table.SaveToBlob();
  }
  void RebuildFromTables(zelvproDocFil& document) override {
    document.TagTable().LoadFromBlob();
    zelvproDocModuleFil& table = document.FurnitureTable();
    table.LoadFromBlob();
    top_.DeleteAllElements();
    top_.LoadPlan(table);
    table.DisposeRecords();
    top_.ResnapTree();
    top_.Clear();
  }

 private:
  zelvproTopCanvas& top_;
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

struct Figures {
  double seconds = 1e9;  // save and open, the fastest round
  int32_t loaded = 0, lines = 0;
  uintmax_t bytes = 0;
};

Figures Measure(Host& host, zelvDatabase& db, int32_t record, int32_t units, const fs::path& folder) {
  Figures figures;
  zelvproTopCanvas top(nullptr, plat::RECT{0, 0, 1000, 1000}, &db);
  host.top = &top;
  for (int32_t i = 0; i < units; ++i) {
    db.TopViewFile().ReadRecord(record, nullptr);
    auto* unit = new zelvproTopViewElement(record, &top, plat::RECT{0, 0, 10, 10},
                                           db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    unit->SetPosition(ppVector3(float(i % kRowLength) * 700.0f, 0.0f, float(i / kRowLength) * 1000.0f));
  }
  Handle blob = nullptr;
  Vcon_HandleManager::MemNew(&blob, 0);
  {
    zelvproCalculatorFil prices(db, blob);
    iCalculationList::Install(&prices);
    prices.DeleteAllLines();
    prices.RebuildLines(top);
    figures.lines = prices.GetRecordCount();
    SetPriceListTable(&prices);
    zelvproDocFil document(db);
    CanvasSteps steps(top);
    DocumentFileOperations operations(document, steps);
    const std::string path = (folder / ("plan" + std::to_string(units) + ".qxf")).string();
    DocumentFileRecord file{Vcon::WString(path.c_str())};
    for (int32_t round = 0; round <= kRounds; ++round) {
      const double start = bench::ThreadSeconds();
      operations.WriteFile(file);
      operations.OpenDocumentFile(file.path);
      const double seconds = bench::ThreadSeconds() - start;
      if (round > 0) figures.seconds = std::min(figures.seconds, seconds);  // round 0 warms the caches
    }
    figures.loaded = top.Subviews().Count();
    figures.bytes = fs::file_size(path);
    SetPriceListTable(nullptr);
    iCalculationList::Install(nullptr);
  }
  MemDispose(blob);
  host.top = nullptr;
  std::printf(
      "%4d units: %4d price lines, file %8ju bytes, %4d units after the open; save and open %8.3f ms\n",
      units, figures.lines, figures.bytes, figures.loaded, figures.seconds * 1e3);
  return figures;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::DemoSettingsFolder folder("docfile", DEMO_SETTINGS_DIR);
    const fs::path& root = folder.Root();
    DocumentFileRecord file(Vcon::WString((root / "settings/catalogs/kitchen.cdb").string().c_str()));
    zelvDatabase db(file);
    Host host;
    host.db = &db;
    iElementHost::Install(&host);
    TopViewElementFactory::Install();
    const int32_t record = TopViewNamed(db, "B40");
    if (record == 0) {
      std::printf("the demo catalogue has no B40\n");
      ++bench::MissedReaches();
    } else {
      const Figures small = Measure(host, db, record, kSmallPlan, root);
      const Figures large = Measure(host, db, record, kLargePlan, root);
      if (small.loaded != kSmallPlan || large.loaded != kLargePlan) {
        std::printf("the open did not bring every unit back\n");
        ++bench::MissedReaches();
      }
      bench::ReachAtMost("docfile", large.seconds / small.seconds, kLimit);
    }
    iElementHost::Install(nullptr);
  }
  MemTerminate();
  return bench::ReachStatus();
}
