// The price list pane (8 rows of 96 pixels, the nine built-in columns drawing their texts) over a
// table of 10,000 lines against one of 100: one paint of the whole pane, and one scroll by a line
// with the paint of the uncovered row, in alternating rounds of one run, in processor time of the
// thread. The pane reads and draws only the rows it shows (the footer finds the Total from the
// end), so each ratio of the median times must stay at or below 1.3.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "controls/DisplayListLayout.h"
#include "database/ppDatabase.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

constexpr int32_t kWidth = 720, kRows = 8;
constexpr int32_t kHeight =
    zelvproCalculatorList::kHeaderHeight + 3 +
    kRows * (zelvproCalculatorList::kBaseLineHeight + zelvproCalculatorList::kLineHeightExtra) +
    zelvproCalculatorList::kFooterHeight + 2;
constexpr double kLimit = 1.3;

struct Pane {
  ppWindow* window = nullptr;
  plat::HWND hwnd = nullptr;
  zelvproCalculatorList* list = nullptr;
};

// A pane over `lines` lines of every user type, a Total last.
Pane MakePane(ppDatabase& db, int32_t lines) {
  Pane pane;
  pane.window = bench::OpenControlWindow(kWidth, kHeight);
  pane.hwnd = pane.window->GetHWND();
  pane.list = new zelvproCalculatorList(pane.window, {0, 0, kWidth, kHeight}, db);
  // Every column draws its text (the built-in measures carry the measure-only format).
  Handle layout = pane.list->Layout();
  for (uint32_t i = 0; i < DisplayListLayout::ColumnCount(layout); ++i) {
    DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout, i);
    c.textFormat = 0x20;
    DisplayListLayout::WriteColumn(layout, i, c);
  }
  zelvproCalculatorFil& table = pane.list->LineFile();
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
  pane.list->ShowLastLine();
  pane.list->SelectLine(3, true);
  plat::HeadlessDriver::RunUntilIdle();
  return pane;
}

void Paint(Pane& pane) {
  pane.list->Invalidate();
  plat::UpdateWindow(pane.hwnd);
}

// One line down, then one back up on the next call: the list never reaches its end.
void Scroll(Pane& pane, int32_t pass) {
  pane.list->ScrollBy(0, pass % 2 == 0 ? 1 : -1);
  plat::UpdateWindow(pane.hwnd);
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  plat::HeadlessDriver::Reset();
  SetApplicationFlags1(zelvproCalculatorList::kTotalFooter);

  bench::ScratchFolder folder("pricepane");
  ppFileSpec file = ppFileSpec(Vcon::WString(folder.File("lines.db").c_str()));
  auto db = std::make_unique<ppDatabase>(file);
  Pane panes[2] = {MakePane(*db, 100), MakePane(*db, 10'000)};

  constexpr int kRounds = 9, kPaints = 20, kScrolls = 100;
  const bench::SmallLargeTimes times = bench::TimeSmallAndLarge(
      kRounds, kPaints, kScrolls, [&](int which) { Paint(panes[which]); },
      [&](int which, int i) { Scroll(panes[which], i); });
  const double paintSmall = times.paint[0], paintLarge = times.paint[1];
  const double scrollSmall = times.step[0], scrollLarge = times.step[1];
  std::printf("price pane paint, %d rows over 100 lines: %.3f ms\n", kRows, paintSmall);
  std::printf("price pane paint, %d rows over 10000 lines: %.3f ms\n", kRows, paintLarge);
  std::printf("price pane scroll by one line over 100 lines: %.3f ms\n", scrollSmall);
  std::printf("price pane scroll by one line over 10000 lines: %.3f ms\n", scrollLarge);
  bench::ReachAtMost("price pane paint 10000/100 lines", paintLarge / paintSmall, kLimit);
  bench::ReachAtMost("price pane scroll 10000/100 lines", scrollLarge / scrollSmall, kLimit);

  for (Pane& pane : panes) delete pane.window;
  ppPendingDeletions::DeleteAll();
  plat::HeadlessDriver::Reset();
  db.reset();
  return bench::ReachStatus();
}
