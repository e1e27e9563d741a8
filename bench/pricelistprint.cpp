// The price list's print: PreparePrint and Print of a list of 500 lines against one of 50, on a
// hand-made page (10 pixels per millimetre, 2000 by 2800 pixels) into a drawing context over a
// memory surface, every drawing heard by a counting recorder, in alternating rounds, processor time
// of the thread. Printing reads each line once for the fitting, once for the page count and once for
// its row, so the ratio of the median times (linear: 10) must stay at or below 12.
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "calculation/iPriceListPrintRecorder.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "database/ppDatabase.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppDC.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppWindow.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/Surface.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

constexpr double kLimit = 12;

class Counter : public iPriceListPrintRecorder {
 public:
  void Font(const char*, int32_t, bool) override { ++calls; }
  void Text(const Vcon::WString&, const plat::RECT&, uint32_t) override { ++calls; }
  void Rule(int32_t, int32_t, int32_t, int32_t) override { ++calls; }
  void Frame(const plat::RECT&) override { ++calls; }
  void Ellipse(const plat::RECT&, const ppRGBColor&) override { ++calls; }
  void Square(const plat::RECT&, const ppRGBColor&) override { ++calls; }
  void Picture(const plat::RECT&) override { ++calls; }
  void PageBreak() override { ++calls; }
  int64_t calls = 0;
};

zelvproCalculatorList* MakePane(ppWindow* window, ppDatabase& db, int32_t lines) {
  auto* list = new zelvproCalculatorList(window, {0, 0, 600, 400}, db);
  zelvproCalculatorFil& table = list->LineFile();
  table.BeginAccess();
  const int32_t types[] = {zelvproCalculatorFil::kItemService, zelvproCalculatorFil::kTextLine,
                           zelvproCalculatorFil::kDiscountLine, zelvproCalculatorFil::kVatLine};
  for (int32_t i = 0; i < lines; ++i) {
    table.ClearRecordBuffer(nullptr);
    const int32_t type = i == lines - 1 ? zelvproCalculatorFil::kTotalLine : types[i % 4];
    bench::SetField(table, "type", ppParameter(type));
    bench::SetField(table, "id", ppParameter(i + 1));
    bench::SetField(table, "unitDescription", ppParameter(("Base unit " + std::to_string(i)).c_str()));
    bench::SetField(table, "text", ppParameter(i % 2 == 0 ? "Oak" : "Walnut"));
    bench::SetField(table, "_pcs", ppParameter(i * 7 % 1000));
    table.InsertRecordAt(-1, nullptr);
  }
  table.SaveToBlob();
  list->ShowLastLine();
  return list;
}

qxPrintPage HandPage() {
  qxPrintPage page;
  page.pageWidth = 2000;
  page.pageHeight = 2800;
  page.pixelsPerMmX = page.pixelsPerMmY = 10;
  page.textScale = 4;
  return page;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  plat::HeadlessDriver::Reset();
  bench::ScratchFolder folder("pricelistprint");
  ppFileSpec file = ppFileSpec(Vcon::WString(folder.File("lines.db").c_str()));
  auto db = std::make_unique<ppDatabase>(file);
  ppWindow* window = bench::OpenControlWindow(600, 400);
  zelvproCalculatorList* panes[2] = {MakePane(window, *db, 50), MakePane(window, *db, 500)};

  plat::Surface surface(2000, 2800);
  plat::HDC memory = plat::CreateSurfaceDC(surface, {0, 0}, plat::RECT{0, 0, 2000, 2800});
  Counter counter;
  const auto run = [&](zelvproCalculatorList* pane) {
    ppDC dc(memory);
    pane->SetPrintRecorder(&counter);
    qxPrintPage page = HandPage();
    pane->PreparePrint(page, zelvproCalculatorList::kPrintColumnsFile);
    pane->Print(dc, page);
    pane->SetPrintRecorder(nullptr);
  };
  constexpr int kRounds = 7;
  std::map<int32_t, std::vector<double>> times;
  for (int round = 0; round < kRounds; ++round)
    for (const int32_t which : round % 2 == 0 ? std::vector<int32_t>{0, 1} : std::vector<int32_t>{1, 0}) {
      run(panes[which]);  // warm
      times[which].push_back(bench::FastestThreadSeconds(1, [&] { run(panes[which]); }) * 1e3);
    }
  const double small = bench::Median(times[0]), large = bench::Median(times[1]);
  std::printf("price list print, 50 lines: %.3f ms\n", small);
  std::printf("price list print, 500 lines: %.3f ms\n", large);
  bench::ReachAtMost("price list print 500/50 lines", large / small, kLimit);

  plat::DeleteDC(memory);
  delete window;
  ppPendingDeletions::DeleteAll();
  plat::HeadlessDriver::Reset();
  db.reset();
  return bench::ReachStatus();
}
