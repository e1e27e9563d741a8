// The popup selector's drop-downs: opening the tree drop-down (filling the tree control from the
// node tree, selecting the current node, showing it) over 5,000 nodes against 500, and painting an
// open list drop-down over 2,000 items against 20, in alternating rounds of one run, in processor
// time of the thread. Filling grows with the nodes (ratio <= 12 for ten times the nodes); painting
// draws only the visible rows, so it must not grow with the list (ratio <= 1.3).
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppPopupSelector.h"
#include "controls/ppSelectorDialog.h"
#include "controls/ppTreeViewNode.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppSelectorQuery.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

// Items 0 .. count - 1 with identity 1000 + i, a number and a name; optionally a tree.
class Query : public ppSelectorQuery {
 public:
  Query(int32_t count, ppTreeViewNode* root, ppParameter value) : count_(count), root_(root), value_(value) {}
  void SetValue(const ppParameter& value, bool) override { value_ = value; }
  void GetValue(ppParameter& out) override { out = value_; }
  int32_t GetItemCount() override { return count_; }
  void GetColumn1(int32_t item, ppParameter& out) override { out = ppParameter(1000 + item); }
  void GetColumn2(int32_t item, ppParameter& out) override { out = ppParameter(item + 1); }
  void GetColumn3(int32_t item, ppParameter& out) override {
    out.SetString(("Choice " + std::to_string(item)).c_str());
  }
  void GetColumn4(int32_t, ppParameter& out) override { out = ppParameter(); }
  ppTreeViewNode* GetTreeRoot() override { return root_; }

 private:
  int32_t count_;
  ppTreeViewNode* root_;
  ppParameter value_;
};

// `nodes` nodes: groups of 10 units under the root.
std::unique_ptr<ppTreeViewNode> MakeTree(int32_t nodes, ppTreeViewNode** middle) {
  auto root = std::make_unique<ppTreeViewNode>();
  ppTreeViewNode* group = nullptr;
  for (int32_t i = 0; i < nodes; ++i) {
    const std::string digits = std::to_string(i);
    const std::u16string name = u"Node " + std::u16string(digits.begin(), digits.end());
    if (i % 11 == 0) {
      group = root->AddChild(std::make_unique<ppTreeViewNode>(Vcon::WString(name)));
    } else {
      ppTreeViewNode* unit = group->AddChild(std::make_unique<ppTreeViewNode>(Vcon::WString(name)));
      if (i == nodes / 2 || *middle == nullptr) *middle = unit;
    }
  }
  return root;
}

ppPopupSelector* MakeSelector(ppConfigurator& configurator, Query* query, bool tree) {
  configurator.RemoveAll();
  auto* panel = new ppConfigPanel(&configurator);
  auto* selector = new ppPopupSelector(panel, query, u"Choice", tree ? 1 : 2, true, true, false, false);
  selector->SetTree(tree);
  panel->AddField(selector);
  configurator.AddPanel(panel);
  configurator.PlaceTabs();
  plat::HeadlessDriver::RunUntilIdle();
  return selector;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  plat::HeadlessDriver::Reset();
  ppWindow* window = bench::OpenControlWindow(300, 700);
  auto* configurator = new ppConfigurator(window, {0, 0, 300, 700}, nullptr, true);

  constexpr int kRounds = 9;
  std::map<int32_t, std::vector<double>> open, paint;
  std::map<int32_t, std::unique_ptr<ppTreeViewNode>> trees;
  std::map<int32_t, ppTreeViewNode*> current;
  for (int32_t n : {500, 5000}) {
    current[n] = nullptr;
    trees[n] = MakeTree(n, &current[n]);
  }
  for (int round = 0; round < kRounds; ++round) {
    const bool smallFirst = round % 2 == 0;
    for (const int32_t n : smallFirst ? std::vector<int32_t>{500, 5000} : std::vector<int32_t>{5000, 500}) {
      ppPopupSelector* selector = MakeSelector(
          *configurator, new Query(0, trees[n].get(), ppParameter(current[n]->Identity())), true);
      constexpr int kPasses = 5;
      const double start = bench::ThreadMilliseconds();
      for (int pass = 0; pass < kPasses; ++pass) {
        selector->OpenPopup();
        plat::UpdateWindow(selector->OpenPopupDialog()->GetHWND());
      }
      open[n].push_back((bench::ThreadMilliseconds() - start) / kPasses);
    }
    for (const int32_t n : smallFirst ? std::vector<int32_t>{20, 2000} : std::vector<int32_t>{2000, 20}) {
      ppPopupSelector* selector =
          MakeSelector(*configurator, new Query(n, nullptr, ppParameter(1000 + n / 2)), false);
      selector->OpenPopup();
      plat::HWND popup = selector->OpenPopupDialog()->GetHWND();
      plat::UpdateWindow(popup);
      constexpr int kPasses = 40;
      const double start = bench::ThreadMilliseconds();
      for (int pass = 0; pass < kPasses; ++pass) {
        plat::InvalidateRect(popup, nullptr, 0);
        plat::UpdateWindow(popup);
      }
      paint[n].push_back((bench::ThreadMilliseconds() - start) / kPasses);
      plat::ReleaseCapture();
    }
  }
  const double tree500 = bench::Median(open[500]), tree5000 = bench::Median(open[5000]);
  const double list20 = bench::Median(paint[20]), list2000 = bench::Median(paint[2000]);
  std::printf("tree drop-down opening, 500 nodes: %.3f ms\n", tree500);
  std::printf("tree drop-down opening, 5000 nodes: %.3f ms\n", tree5000);
  std::printf("list drop-down painting, 20 items: %.3f ms\n", list20);
  std::printf("list drop-down painting, 2000 items: %.3f ms\n", list2000);
  bench::ReachAtMost("tree drop-down opening 5000/500 nodes", tree5000 / tree500, 12.0);
  bench::ReachAtMost("list drop-down painting 2000/20 items", list2000 / list20, 1.3);

  configurator->RemoveAll();
  delete window;
  ppPendingDeletions::DeleteAll();
  trees.clear();
  plat::HeadlessDriver::Reset();
  return bench::ReachStatus();
}
