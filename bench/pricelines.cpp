// The rebuild of the price list's element lines: ResetElementLines, then every element takes its lines
// out and adds its own line and two included lines, as the plan elements do through the calculation
// list. Three contributions an element; the included lines of two elements share a line, so about a
// third of the contributions merge. The plan of 200 elements against one of 20 must stay near linear
// (200 / 20 <= 12; linear gives 10, reading every line per contribution about 100). The same rebuild
// with the plain walk is printed beside it.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kRounds = 5;
constexpr double kLimit = 12.0;

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
  }
  MemTerminate();
  return bench::ReachStatus();
}
