// The rebuild of the price list's element lines: ResetElementLines, then every element takes its lines
// out and adds its own line and two included lines, as the plan elements do through the calculation
// list. Three contributions an element; the included lines of two elements share a line, so about a
// third of the contributions merge. The plan of 200 elements against one of 20 must stay near linear
// (200 / 20 <= 12; linear gives 10, reading every line per contribution about 100). The same rebuild
// with the plain walk is printed beside it.
//
// Then the packet pass of one family of six packets over 30 single-piece lines of three units, one
// colour and tag, whose full search would try about 1,840,000 packets (the group's budget stops it at
// 200,000): taking the lines, choosing and writing the packet lines must stay under 50 ms of thread
// time.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "calculation/CalculatorPacketTree.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproPacketFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kRounds = 5;
constexpr double kLimit = 12.0;
constexpr double kPacketLimitMs = 50.0;

struct Figures {
  double seconds = 0;
  double linesRead = 0;  // per rebuild
};

void Contribute(zelvproCalculatorFil& calc, zelvproElement* element, int32_t unit, int32_t lineType) {
  calc.ClearBuffer();
  calc.SetFieldValue(calc.IndexOf("type"), ppParameter(lineType), nullptr);
  calc.SetFieldValue(calc.IndexOf("unitID"), ppParameter(unit), nullptr);
  calc.SetFieldValue(calc.IndexOf("priceID"), ppParameter(unit), nullptr);
  calc.SetFieldValue(calc.IndexOf("pcs"), ppParameter(DecimalNumber(1.0)), nullptr);
  calc.FinishLine({element, nullptr});
  calc.AddLine({element, nullptr});
}

Figures Measure(zelvDatabase& db, int32_t count, bool walk) {
  std::vector<std::unique_ptr<zelvproElement>> elements;
  for (int32_t i = 0; i < count; ++i)
    elements.push_back(std::make_unique<zelvproElement>(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0));
  Handle blob = nullptr;
  Vcon_HandleManager::MemNew(&blob, 0);
  Figures figures;
  {
    zelvproCalculatorFil calc(db, blob);
    calc.SetTextsFrozen(true);
    calc.SetPlainWalk(walk);
    auto rebuild = [&] {
      calc.ResetElementLines();
      for (int32_t i = 0; i < count; ++i) {
        zelvproElement* element = elements[size_t(i)].get();
        calc.RemoveElementLines(element);
        Contribute(calc, element, 1 + i, zelvproCalculatorFil::kCalculationItem);
        // Included lines: units shared by pairs of elements.
        for (int32_t k = 0; k < 2; ++k) Contribute(calc, element, 100000 + (2 * i + k) % count, 2);
      }
    };
    rebuild();  // the lines exist, as in every rebuild after the first
    const int64_t before = calc.LinesRead();
    figures.seconds = bench::FastestThreadSeconds(kRounds, rebuild);
    figures.linesRead = double(calc.LinesRead() - before) / kRounds;
  }
  MemDispose(blob);
  return figures;
}

struct PacketFigures {
  double milliseconds = 0;
  int64_t tried = 0;
  bool outOfBudget = false;
};

// The packet family: three units, six packets (each an ordered list of required units and a price in
// hundredths) and 30 lines of one piece. Packets and lines are added last first: the packet records
// are read newest first, and among equal units the newest line's piece comes first.
PacketFigures MeasurePackets(zelvDatabase& db) {
  auto addUnit = [&] {
    db.UnitFile().ClearRecordBuffer(nullptr);
    return bench::AddRecord(db.UnitFile());
  };
  auto addPrice = [&](int32_t unit, int32_t hundredths) {
    db.PriceFile().ClearRecordBuffer(nullptr);
    bench::SetField(db.PriceFile(), "module", ppParameter(unit));
    bench::SetField(db.PriceFile(), "xprice", ppParameter(hundredths));
    bench::AddRecord(db.PriceFile());
  };
  const int32_t units[3] = {addUnit(), addUnit(), addUnit()};
  const struct {
    std::vector<int32_t> required;  // 1 or 2 for the two units
    int32_t price;
  } packets[] = {{{3}, 500},    {{3, 1}, 1100}, {{1, 3}, 1600},
                 {{1, 1}, 400}, {{3}, 1200},    {{2, 3, 3, 3}, 1300}};
  for (auto it = std::rbegin(packets); it != std::rend(packets); ++it) {
    const auto& packet = *it;
    const int32_t unit = addUnit();
    addPrice(unit, packet.price);
    std::vector<int32_t> items;
    for (int32_t kind : packet.required) items.insert(items.end(), {units[kind - 1], 0, 1});
    zelvproPacketFil& file = db.PacketFile();
    file.ClearRecordBuffer(nullptr);
    bench::SetField(file, "unitID", ppParameter(unit));
    bench::SetField(file, "level", ppParameter(int32_t(1)));
    bench::SetBlob(file, "items", items.data(), items.size() * 4);
    bench::AddRecord(file);
  }
  const int32_t kinds[30] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,
                             2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
  const int32_t prices[30] = {9, 4, 2,  12, 15, 3, 7, 18, 4, 3, 18, 13, 17, 17, 18,
                              6, 1, 20, 8,  11, 5, 9, 13, 9, 4, 20, 7,  14, 10, 10};
  PacketFigures figures;
  figures.milliseconds = 1e9;
  for (int32_t round = 0; round < kRounds; ++round) {
    Handle blob = nullptr;
    Vcon_HandleManager::MemNew(&blob, 0);
    {
      zelvproCalculatorFil calc(db, blob);
      calc.SetTextsFrozen(true);
      for (int32_t i = 29; i >= 0; --i) {
        calc.ClearBuffer();
        calc.SetFieldValue(calc.IndexOf("type"), ppParameter(int32_t(1)), nullptr);
        calc.SetFieldValue(calc.IndexOf("unitID"), ppParameter(units[kinds[i] - 1]), nullptr);
        calc.SetFieldValue(calc.IndexOf("pcs"), ppParameter(DecimalNumber(1.0)), nullptr);
        RecordField(calc, "price").SetMoneyRaw(calc.GetRecordBuffer(), int64_t(prices[i]) * 10000);
        calc.InsertRecordAt(-1, nullptr);
      }
      const double start = bench::ThreadSeconds();
      CalculatorPacketTree tree(db);
      for (int32_t i = 0; i < 30; ++i) {
        calc.ReadRecordAt(i, nullptr);
        tree.AddLine(calc, i, calc.GetRecordBuffer());
        calc.WriteRecordAt(i, nullptr);
      }
      tree.Resolve();
      tree.Emit(calc);
      figures.milliseconds = std::min(figures.milliseconds, (bench::ThreadSeconds() - start) * 1e3);
      for (const auto& group : tree.Groups()) {
        figures.tried = group->Tried();
        figures.outOfBudget = group->OutOfBudget();
      }
    }
    MemDispose(blob);
  }
  return figures;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("pricelines");
    ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
    zelvDatabase db(file);
    const Figures small = Measure(db, kSmallPlan, false), large = Measure(db, kLargePlan, false);
    const Figures smallWalk = Measure(db, kSmallPlan, true), largeWalk = Measure(db, kLargePlan, true);
    std::printf(
        "pricelines rebuild of %d elements: %.3f ms, %.0f lines read (walk: %.3f ms, %.0f lines read)\n",
        kLargePlan, large.seconds * 1e3, large.linesRead, largeWalk.seconds * 1e3, largeWalk.linesRead);
    std::printf("pricelines walk 200 / 20 elements: time %.1f, lines read %.1f\n",
                largeWalk.seconds / smallWalk.seconds, largeWalk.linesRead / smallWalk.linesRead);
    std::printf("pricelines lines read 200 / 20 elements: %.1f\n", large.linesRead / small.linesRead);
    bench::ReachAtMost("pricelines rebuild 200 / 20 elements", large.seconds / small.seconds, kLimit);
    const PacketFigures packets = MeasurePackets(db);
    std::printf("pricelines packets: %lld packets tried%s\n", static_cast<long long>(packets.tried),
                packets.outOfBudget ? " (the budget ran out)" : "");
    bench::ReachAtMost("pricelines packets of six over 30 units (ms)", packets.milliseconds, kPacketLimitMs);
  }
  MemTerminate();
  return bench::ReachStatus();
}
