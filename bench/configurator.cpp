// Rebuilding the document window's configurator, as every selection change does: RemoveAll, four
// panels of captioned fields, PlaceTabs, the layout of the shown panel and one paint of the window.
// Four panels of 30 fields against four of 60, in alternating rounds of one run, in processor time of
// the thread; the ratio of the median times must stay at or below 2.3 (linear growth with room for
// the paint, which does not grow).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppInputField.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

constexpr int32_t kPanels = 4;
constexpr int32_t kRowHeight = 18;

// A captioned row across its panel.
class Row : public ppInputField {
 public:
  explicit Row(ppView* panel) : ppInputField(panel, nullptr, std::string()) {}
  int32_t LayoutAt(int32_t top) override {
    const int32_t width = Owner() != nullptr ? Owner()->Width() : 200;
    SetFrame({4, top + 2, width - 4, top + 2 + kRowHeight});
    return top + 2 + kRowHeight;
  }
};

void Rebuild(ppConfigurator& configurator, int32_t fields, plat::HWND window) {
  configurator.RemoveAll();
  char caption[32];
  for (int32_t p = 0; p < kPanels; ++p) {
    auto* panel = new ppConfigPanel(&configurator);
    std::snprintf(caption, sizeof caption, "Page %d", int(p + 1));
    panel->SetName(Vcon::WString(caption));
    for (int32_t i = 0; i < fields; ++i) {
      auto* row = new Row(panel);
      std::snprintf(caption, sizeof caption, "Property %d", int(i + 1));
      row->SetText(Vcon::WString(caption), 0);
      panel->AddField(row);
      panel->AddFocusable(row);
    }
    configurator.AddPanel(panel);
  }
  configurator.PlaceTabs();
  configurator.RequestLayout();
  configurator.Invalidate();
  plat::UpdateWindow(window);
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  plat::HeadlessDriver::Reset();
  ppWindow* window = bench::OpenControlWindow(240, 700);
  plat::HWND hwnd = window->GetHWND();
  auto* configurator = new ppConfigurator(window, {0, 0, 240, 700}, nullptr, false);

  constexpr int kRounds = 9, kPasses = 20;
  std::map<int32_t, std::vector<double>> times;
  for (int round = 0; round < kRounds; ++round) {
    for (const int32_t n : round % 2 == 0 ? std::vector<int32_t>{30, 60} : std::vector<int32_t>{60, 30}) {
      Rebuild(*configurator, n, hwnd);  // warm
      const double start = bench::ThreadMilliseconds();
      for (int pass = 0; pass < kPasses; ++pass) Rebuild(*configurator, n, hwnd);
      times[n].push_back((bench::ThreadMilliseconds() - start) / kPasses);
    }
  }
  const double small = bench::Median(times[30]), large = bench::Median(times[60]);
  std::printf("configurator rebuild, 4 panels of 30 fields: %.3f ms\n", small);
  std::printf("configurator rebuild, 4 panels of 60 fields: %.3f ms\n", large);
  bench::ReachAtMost("configurator rebuild 60/30 fields", large / small, 2.3);

  delete window;
  ppPendingDeletions::DeleteAll();
  plat::HeadlessDriver::Reset();
  return bench::ReachStatus();
}
