// The whole rebuild of the price list as the top canvas runs it: every line deleted (with the
// user's discount and VAT lines typed in again), the element lines released, every element of the
// plan adding its line, then the tag sort and the whole build (tag headings and subtotals, the
// discount, VAT, the Total, the unit notes, sort keys, order, blank lines). A plan of 200 units in 10
// tags against one of 20 units in the same tags must stay near linear (200 / 20 <= 15; linear gives
// 10).
//
// Then the XML shopping list of the 200-unit list, its rebuild included (the builder asks for it),
// must take under 20 ms of thread time; the text alone is printed beside it.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "calculation/PriceListTable.h"
#include "calculation/ShoppingListXml.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kTags = 10, kNotes = 5, kRounds = 7;
constexpr double kLimit = 15.0, kXmlLimitMs = 20.0;

class Host : public iElementHost {
 public:
  zelvproTagFil* TagTable() override { return tags; }
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? db : nullptr; }
  zelvproTagFil* tags = nullptr;
  zelvDatabase* db = nullptr;
};

// A unit of the plan: one priced line of its own catalogue unit in its tag.
class Unit : public zelvproElement {
 public:
  Unit(ppView* canvas, zelvDatabase& db, int32_t unit, int32_t price, int32_t tag)
      : zelvproElement(0, canvas, plat::RECT{0, 0, 10, 10}, &db, 0, 0),
        unit_(unit),
        price_(price),
        tag_(tag) {}
  void AddToCalculation() override {
    iCalculationList& list = iCalculationList::Current();
    ppDatafile* file = list.LineFile();
    list.RemoveElementLines(this);
    list.ClearBuffer();
    char* b = file->GetRecordBuffer();
    RecordField(*file, "type").SetLong(b, zelvproCalculatorFil::kCalculationItem);
    RecordField(*file, "unitID").SetLong(b, unit_);
    RecordField(*file, "priceID").SetLong(b, price_);
    RecordField(*file, "databaseID").SetLong(b, 1);
    RecordField(*file, "tag").SetLong(b, tag_);
    RecordField(*file, "price").SetMoneyRaw(b, 1995000 + int64_t(unit_) * 100);
    file->SetFieldValue(file->IndexOf("pcs"), ppParameter(DecimalNumber(1.0)), nullptr);
    list.FinishLine({this, database});
    list.AddLine({this, database});
  }

 private:
  int32_t unit_, price_, tag_;
};

// The whole rebuild at once, as the price list asks for it before a save.
class Rebuild : public iCalculationUpdate {
 public:
  void UpdateCalculation(bool) override {
    if (run) run();
  }
  std::function<void()> run;
};

struct Catalogue {
  std::vector<int32_t> units, prices;
};

Catalogue Fill(zelvDatabase& db) {
  Catalogue c;
  std::vector<int32_t> notes;
  for (int32_t k = 0; k < kNotes; ++k) {
    db.NoteFile().ClearRecordBuffer(nullptr);
    bench::SetField(db.NoteFile(), "xnote", ppParameter("a note"));
    notes.push_back(bench::AddRecord(db.NoteFile()));
  }
  for (int32_t i = 0; i < kLargePlan; ++i) {
    db.UnitFile().ClearRecordBuffer(nullptr);
    bench::SetField(db.UnitFile(), "number1", ppParameter("U"));
    bench::SetField(db.UnitFile(), "note", ppParameter(notes[size_t(i % kNotes)]));
    c.units.push_back(bench::AddRecord(db.UnitFile()));
    db.PriceFile().ClearRecordBuffer(nullptr);
    bench::SetField(db.PriceFile(), "module", ppParameter(c.units.back()));
    bench::SetField(db.PriceFile(), "orderno", ppParameter("ART-1"));
    c.prices.push_back(bench::AddRecord(db.PriceFile()));
  }
  return c;
}

struct Figures {
  double rebuildSeconds = 0, xmlSeconds = 0, textSeconds = 0;
  int32_t lines = 0;
  size_t xmlUnits = 0;
};

Figures Measure(zelvDatabase& db, const Catalogue& c, int32_t count) {
  Figures figures;
  zelvproElement canvas(0, nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr, 0, 0);
  for (int32_t i = 0; i < count; ++i)
    new Unit(&canvas, db, c.units[size_t(i)], c.prices[size_t(i)], 1 + i % kTags);
  Handle blob = nullptr;
  Vcon_HandleManager::MemNew(&blob, 0);
  {
    zelvproCalculatorFil calc(db, blob);
    iCalculationList::Install(&calc);
    auto userLine = [&](int32_t type, float percent) {
      calc.ClearBuffer();
      RecordField(calc, "type").SetLong(calc.GetRecordBuffer(), type);
      calc.SetFieldValue(calc.IndexOf("discountPct"), ppParameter(percent), nullptr);
      calc.InsertRecordAt(-1, nullptr);
    };
    auto rebuild = [&] {
      calc.DeleteAllLines();
      userLine(zelvproCalculatorFil::kDiscountLine, -5.0f);
      userLine(zelvproCalculatorFil::kVatLine, 25.0f);
      calc.ReleaseLineData();
      calc.RebuildLines(canvas);
    };
    rebuild();
    figures.rebuildSeconds = bench::FastestThreadSeconds(kRounds, rebuild);
    figures.lines = calc.GetRecordCount();

    Rebuild update;
    update.run = [&] {
      calc.ReleaseLineData();
      calc.RebuildLines(canvas);
    };
    iCalculationUpdate::Install(&update);
    SetPriceListTable(&calc);
    Vcon::WString xml;
    figures.xmlSeconds = bench::FastestThreadSeconds(kRounds, [&] { xml = BuildShoppingListXml(); });
    update.run = nullptr;
    figures.textSeconds = bench::FastestThreadSeconds(kRounds, [&] { xml = BuildShoppingListXml(); });
    figures.xmlUnits = xml.size();
    SetPriceListTable(nullptr);
    iCalculationUpdate::Install(nullptr);
    iCalculationList::Install(nullptr);
  }
  MemDispose(blob);
  return figures;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("pricelist");
    ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
    zelvDatabase db(file);
    const Catalogue catalogue = Fill(db);
    Handle tagBlob = nullptr;
    Vcon_HandleManager::MemNew(&tagBlob, 0);
    {
      zelvproTagFil tags(db, tagBlob);
      tags.BeginAccess();
      for (int32_t t = 1; t <= kTags; ++t) {
        tags.ClearRecordBuffer(nullptr);
        bench::SetField(tags, "id", ppParameter(t));
        bench::SetField(tags, "ttext", ppParameter(Vcon::WString("Room")));
        tags.InsertRecordAt(-1, nullptr);
      }
      tags.SaveToBlob();
      Host host;
      host.tags = &tags;
      host.db = &db;
      iElementHost::Install(&host);
      const Figures small = Measure(db, catalogue, kSmallPlan), large = Measure(db, catalogue, kLargePlan);
      iElementHost::Install(nullptr);
      std::printf("pricelist whole rebuild: %d units %.3f ms (%d lines), %d units %.3f ms (%d lines)\n",
                  kSmallPlan, small.rebuildSeconds * 1e3, small.lines, kLargePlan, large.rebuildSeconds * 1e3,
                  large.lines);
      std::printf("pricelist XML of %d units: %.3f ms with its rebuild, %.3f ms the text alone (%zu units)\n",
                  kLargePlan, large.xmlSeconds * 1e3, large.textSeconds * 1e3, large.xmlUnits);
      bench::ReachAtMost("pricelist rebuild 200 / 20 units in 10 tags",
                         large.rebuildSeconds / small.rebuildSeconds, kLimit);
      bench::ReachAtMost("pricelist XML of 200 units with its rebuild (ms)", large.xmlSeconds * 1e3,
                         kXmlLimitMs);
    }
    MemDispose(tagBlob);
  }
  MemTerminate();
  return bench::ReachStatus();
}
