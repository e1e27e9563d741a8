// A record-bound list of 9 columns and 40 visible lines over the calculation line table: one paint
// of the whole window, and one scroll by a line with the paint of the uncovered row, over a selection
// of 10,000 records against one of 100, in alternating rounds of one run, in processor time of the
// thread. Only the visible lines are read and drawn, so each ratio of the median times must stay at
// or below 1.3.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "controls/DisplayListLayout.h"
#include "controls/ppDictList.h"
#include "database/HandleList.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "foundation/ResourceAccess.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

constexpr int32_t kLineHeight = 16;
constexpr int32_t kVisibleLines = 40;
constexpr int32_t kWidth = 720;
// Header band, 40 lines, and the bar's 18 pixels at the right.
constexpr int32_t kHeight = kLineHeight + 3 + kVisibleLines * kLineHeight;

// The price list's screen layout with every column drawing its text (left aligned, one line).
Handle NineColumns() {
  Handle layout = LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorDlst");
  for (uint32_t i = 0; i < DisplayListLayout::ColumnCount(layout); ++i) {
    DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout, i);
    c.textFormat = 0x20;
    DisplayListLayout::WriteColumn(layout, i, c);
  }
  return layout;
}

struct Pane {
  ppWindow* window = nullptr;
  plat::HWND hwnd = nullptr;
  ppDictList* list = nullptr;
};

Pane MakePane(ppDatafile& table) {
  Pane pane;
  pane.window = new ppWindow();
  ppWindow::SetObjectUnderConstruction(pane.window);
  pane.hwnd = plat::CreateWindowExA(0, "ZelvCtrl", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kWidth,
                                    kHeight, nullptr, nullptr, nullptr, nullptr);
  pane.window->SetOwnsWindow(true);
  plat::HeadlessDriver::RunUntilIdle();
  pane.list = new ppDictList(pane.window, {0, 0, kWidth, kHeight}, kLineHeight, &table, NineColumns(),
                             ppDataList::kVerticalBar, ppView::kStretch, ppView::kStretch);
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
  bench::RegisterControlWindowClass();

  bench::ScratchFolder folder("lists");
  ppFileSpec file = ppFileSpec(Vcon::WString(folder.File("lines.db").c_str()));
  auto db = std::make_unique<ppDatabase>(file);
  std::vector<int32_t> ids;
  {
    ppDatafile lines("qxCalculator", *db);
    lines.BeginTransaction();
    for (int32_t i = 0; i < 10'000; ++i) {
      lines.ClearRecordBuffer(nullptr);
      bench::SetField(lines, "unitDescription", ppParameter(("Base unit " + std::to_string(i)).c_str()));
      bench::SetField(lines, "text", ppParameter(i % 2 == 0 ? "Oak" : "Walnut"));
      for (const char* field :
           {"_pcs", "xprice", "xdiscountPct", "xdiscount", "xtotal", "volumeTotal", "weightTotal"})
        bench::SetField(lines, field, ppParameter(i * 7 % 1000));
      ids.push_back(bench::AddRecord(lines));
    }
    lines.EndTransaction();
  }
  auto large = std::make_unique<ppDatafile>("qxCalculator", *db);
  auto small = std::make_unique<ppDatafile>("qxCalculator", *db);
  HandleList::Append(large->GetSelection(), ids.data(), uint32_t(ids.size()));
  HandleList::Append(small->GetSelection(), ids.data(), 100);
  Pane panes[2] = {MakePane(*small), MakePane(*large)};

  constexpr int kRounds = 9, kPaints = 20, kScrolls = 100;
  const bench::SmallLargeTimes times = bench::TimeSmallAndLarge(
      kRounds, kPaints, kScrolls, [&](int which) { Paint(panes[which]); },
      [&](int which, int i) { Scroll(panes[which], i); });
  const double paintSmall = times.paint[0], paintLarge = times.paint[1];
  const double scrollSmall = times.step[0], scrollLarge = times.step[1];
  std::printf("list paint, 40 lines x 9 columns over 100 records: %.3f ms\n", paintSmall);
  std::printf("list paint, 40 lines x 9 columns over 10000 records: %.3f ms\n", paintLarge);
  std::printf("list scroll by one line over 100 records: %.3f ms\n", scrollSmall);
  std::printf("list scroll by one line over 10000 records: %.3f ms\n", scrollLarge);
  bench::ReachAtMost("list paint 10000/100 records", paintLarge / paintSmall, 1.3);
  bench::ReachAtMost("list scroll 10000/100 records", scrollLarge / scrollSmall, 1.3);

  for (Pane& pane : panes) delete pane.window;
  ppPendingDeletions::DeleteAll();
  plat::HeadlessDriver::Reset();
  large.reset();
  small.reset();
  db.reset();
  return bench::ReachStatus();
}
