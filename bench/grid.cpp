// A read-only grid of 3 columns under a header band, whole rows selected, over a price table
// selection of 1,000 records against one of 10, in alternating rounds of one run, in processor
// time of the thread: one paint of the whole window, and paging (two rows down, then back up, each
// with the paint of what the scroll uncovered). Only the visible rows are read and drawn, so each
// ratio of the median times must stay at or below 1.3.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "controls/ppGrid.h"
#include "controls/ppGridHeaderSource.h"
#include "controls/ppGridScroller.h"
#include "database/HandleList.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

constexpr int32_t kWidth = 420;
constexpr int32_t kHeight = 200;  // a header band and 9 rows of 20 pixels
constexpr int32_t kPage = 2;      // rows; the 10-record grid can scroll this far too

struct Pane {
  ppWindow* window = nullptr;
  plat::HWND hwnd = nullptr;
  ppGrid* grid = nullptr;
};

Pane MakePane(ppDatafile& table, ppGridHeaderSource& header) {
  Pane pane;
  pane.window = new ppWindow();
  ppWindow::SetObjectUnderConstruction(pane.window);
  pane.hwnd = plat::CreateWindowExA(0, "ZelvCtrl", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kWidth,
                                    kHeight, nullptr, nullptr, nullptr, nullptr);
  pane.window->SetOwnsWindow(true);
  plat::HeadlessDriver::RunUntilIdle();
  pane.grid = new ppGrid(pane.window, {0, 0, kWidth, kHeight});
  pane.grid->SetDataSource(&table);
  pane.grid->SetHeaderSource(&header);
  pane.grid->AddStyleFlags(ppGridScroller::kHeader | ppGridScroller::kWholeRow |
                           ppGridScroller::kRowsFromSource);
  pane.grid->SetLineHeight(20);
  pane.grid->SetScrollSteps(20, 20);
  for (const auto& [name, width] :
       {std::pair<const char*, int32_t>{"orderno", 100}, {"name", 200}, {"price", 80}})
    pane.grid->AddColumn(ppGridColumn(pane.grid, name, width, 0, nullptr));
  pane.grid->UpdateLayout();
  pane.grid->SetCellMargins(5, 2, 10, 3);
  pane.grid->SetScrollBars(ppGrid::kVerticalBar);
  pane.grid->Body()->SetSelection(0, 1);
  plat::HeadlessDriver::RunUntilIdle();
  return pane;
}

void Paint(Pane& pane) {
  pane.window->Invalidate();
  plat::UpdateWindow(pane.hwnd);
}

// A page down, then back up on the next call.
void Page(Pane& pane, int32_t pass) {
  pane.grid->Body()->Scroll(0, pass % 2 == 0 ? kPage : -kPage);
  plat::UpdateWindow(pane.hwnd);
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  plat::HeadlessDriver::Reset();
  bench::RegisterControlWindowClass();

  bench::ScratchFolder folder("grid");
  ppFileSpec file = ppFileSpec(Vcon::WString(folder.File("prices.db").c_str()));
  auto db = std::make_unique<ppDatabase>(file);
  std::vector<int32_t> ids;
  {
    ppDatafile prices("qxPrice", *db);
    prices.BeginTransaction();
    for (int32_t i = 0; i < 1'000; ++i) {
      prices.ClearRecordBuffer(nullptr);
      bench::SetField(prices, "orderno", ppParameter(("A" + std::to_string(10000 + i)).c_str()));
      bench::SetField(prices, "name", ppParameter(("Wall unit " + std::to_string(i)).c_str()));
      bench::SetField(prices, "price", ppParameter(100 + i % 500));
      ids.push_back(bench::AddRecord(prices));
    }
    prices.EndTransaction();
  }
  auto large = std::make_unique<ppDatafile>("qxPrice", *db);
  auto small = std::make_unique<ppDatafile>("qxPrice", *db);
  HandleList::Append(large->GetSelection(), ids.data(), uint32_t(ids.size()));
  HandleList::Append(small->GetSelection(), ids.data(), 10);
  ppGridHeaderSource header(large.get());
  Pane panes[2] = {MakePane(*small, header), MakePane(*large, header)};

  constexpr int kRounds = 9, kPaints = 20, kPages = 100;
  const bench::SmallLargeTimes times = bench::TimeSmallAndLarge(
      kRounds, kPaints, kPages, [&](int which) { Paint(panes[which]); },
      [&](int which, int i) { Page(panes[which], i); });
  const double paintSmall = times.paint[0], paintLarge = times.paint[1];
  const double pageSmall = times.step[0], pageLarge = times.step[1];
  std::printf("grid paint, 9 rows x 3 columns over 10 records: %.3f ms\n", paintSmall);
  std::printf("grid paint, 9 rows x 3 columns over 1000 records: %.3f ms\n", paintLarge);
  std::printf("grid page by two rows over 10 records: %.3f ms\n", pageSmall);
  std::printf("grid page by two rows over 1000 records: %.3f ms\n", pageLarge);
  bench::ReachAtMost("grid paint 1000/10 records", paintLarge / paintSmall, 1.3);
  bench::ReachAtMost("grid page 1000/10 records", pageLarge / pageSmall, 1.3);

  for (Pane& pane : panes) delete pane.window;
  ppPendingDeletions::DeleteAll();
  plat::HeadlessDriver::Reset();
  large.reset();
  small.reset();
  db.reset();
  return bench::ReachStatus();
}
