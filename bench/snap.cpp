// Re-snapping on a plan of many units costs little more than on a small one, in one run:
//  (a) the re-snap of one unit after a move, on a plan of 500 units against one of 5; at most 5 times;
//  (b) the re-snap of every unit (the list form), 500 units against 50; at most 20 times (a search
//      that walks the whole plan for every anchor grows by 100).
// Units are 600 mm wide, placed side by side in rows of ten, 1000 mm apart; each has four anchors, a
// pair of left and right ones at its front and another at its back, so that neighbours in a row link
// twice. Times are thread CPU times, the fastest of several rounds.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr int32_t kRowLength = 10;
constexpr float kWidth = 600.0f, kRowSpacing = 1000.0f;  // millimetres
constexpr double kOneLimit = 5.0, kListLimit = 20.0;

// A plain unit with four hand-placed anchors whose links give no access request.
class Unit : public zelvproElement {
 public:
  explicit Unit(ppView* parent) : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    const struct {
      int32_t code;
      float x, z;
    } anchors[] = {{-5, 0.0f, 0.0f}, {5, kWidth, 0.0f}, {-6, 0.0f, kWidth}, {6, kWidth, kWidth}};
    for (const auto& a : anchors) {
      SnapAnchor s;
      s.code = a.code, s.point = ppVector3(a.x, 0.0f, a.z), s.flags = SnapAnchor::kNoAccessRequest;
      snapPoints.push_back(s);
    }
  }
};

ppVector3 PlaceOf(int32_t i) {
  return ppVector3(float(i % kRowLength) * kWidth, 0.0f, float(i / kRowLength) * kRowSpacing);
}

// Counts the linked anchors of the plan (each link twice), to see that every round did its work.
int32_t LinkedAnchors(const std::vector<Unit*>& units) {
  int32_t linked = 0;
  for (Unit* u : units)
    for (int32_t i = 0; i < u->GetPointCount(); ++i) {
      SnapAnchor a;
      u->GetPointEntry(i, a);
      linked += a.partner != nullptr;
    }
  return linked;
}

struct Plan {
  explicit Plan(int32_t count) : canvas(nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr) {
    for (int32_t i = 0; i < count; ++i) {
      units.push_back(new Unit(&canvas));  // owned by the canvas
      units.back()->SetPosition(PlaceOf(i));
    }
    for (Unit* u : units) u->Resnap();
  }
  zelvproTopCanvas canvas;
  std::vector<Unit*> units;
};

// One unit in the middle of the plan leaves its place and comes back, re-snapping after each move;
// the time of one re-snap in seconds.
double ResnapOneSeconds(int32_t count, int32_t moves, int32_t rounds) {
  Plan plan(count);
  Unit* moved = plan.units[size_t(count / 2)];
  const ppVector3 home = PlaceOf(count / 2);
  const ppVector3 away = home + ppVector3(0.0f, 0.0f, kRowSpacing / 2);
  const int32_t before = LinkedAnchors(plan.units);
  const double seconds = bench::FastestThreadSeconds(rounds, [&] {
    for (int32_t m = 0; m < moves; ++m) {
      moved->SetPosition(m % 2 == 0 ? away : home);
      moved->Resnap();
    }
  });
  if (LinkedAnchors(plan.units) != before)
    std::printf("%d units: %d linked anchors after the moves, %d before\n", count, LinkedAnchors(plan.units),
                before);
  return seconds / moves;
}

// Every unit re-snapped through the list form; the time of one pass in seconds.
double ResnapListSeconds(int32_t count, int32_t rounds) {
  Plan plan(count);
  ElementList list;
  for (Unit* u : plan.units) list.push_back(u);
  const int32_t before = LinkedAnchors(plan.units);
  const double seconds = bench::FastestThreadSeconds(rounds, [&] { plan.canvas.ResnapList(list); });
  if (LinkedAnchors(plan.units) != before)
    std::printf("%d units: %d linked anchors after the pass, %d before\n", count, LinkedAnchors(plan.units),
                before);
  return seconds;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const double oneSmall = ResnapOneSeconds(5, 2000, 15);
    const double oneLarge = ResnapOneSeconds(500, 200, 15);
    std::printf("re-snap of one unit, 5 units:    %9.3f us\n", oneSmall * 1e6);
    std::printf("re-snap of one unit, 500 units:  %9.3f us\n", oneLarge * 1e6);
    const double listSmall = ResnapListSeconds(50, 15);
    const double listLarge = ResnapListSeconds(500, 5);
    std::printf("re-snap of every unit, 50 units:  %9.3f ms\n", listSmall * 1e3);
    std::printf("re-snap of every unit, 500 units: %9.3f ms\n", listLarge * 1e3);
    bench::ReachAtMost("snap re-snap one unit 500 / 5 units", oneLarge / oneSmall, kOneLimit);
    bench::ReachAtMost("snap re-snap every unit 500 / 50 units", listLarge / listSmall, kListLimit);
  }
  MemTerminate();
  return bench::ReachStatus();
}
