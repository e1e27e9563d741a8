// The whole room rebuild of command 4033 grows linearly with the plan: a plan of ten L-shaped rooms
// of six walls each (60 walls) against one such room, in one run. Each round runs 4033 on the
// unchanged plan: the corners, the side faces and cycles, one new floor per room with one wall body
// per face that takes over the old walls' settings, the deletion of the old floors (at once: the run
// has no document window), and then every wall body's 3D face mesh. Linear work gives a time ratio of 10;
// the ratio must stay at or below 12.
// Times are thread CPU times, the fastest of several rounds, the two plans' rounds taking turns.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "foundation/Vcon_HandleManager.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"

namespace {

using bench::AddRoom;
using bench::AddWallRecord;

constexpr int32_t kSmallPlan = 1, kLargePlan = 10, kRepeats = 40;
constexpr double kLimit = 12.0;
constexpr float kRoomSpacing = 6000.0f;  // millimetres between the rooms' origins along x

// The catalogue of the run is catalogue 1; the room canvas is the host's.
class Host : public iElementHost {
 public:
  explicit Host(zelvDatabase& db) : db_(db) {}
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? &db_ : nullptr; }
  zelvproElement* NewRoomCanvas() override { return room; }
  zelvproElement* room = nullptr;

 private:
  zelvDatabase& db_;
};

// One round: the rebuild, then each wall body's face mesh as the 3D pane builds it at its next drawing
// (the rebuild leaves the new floor's tree out of date); answers the number of wall bodies that hold
// their mesh.
int32_t Round(qxNewRoomCanvas& canvas) {
  canvas.DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  int32_t walls = 0;
  ForEachChildElement(canvas, [&](zelvproElement* floor) {
    if (floor->kind != qxFloorElement::kKind) return;
    ForEachChildElement(*floor, [&](zelvproElement* child) {
      if (dynamic_cast<qxWallElement*>(child) == nullptr) return;
      child->RebuildGeometry();
      walls += child->CachedObject() != nullptr ? 1 : 0;
    });
  });
  return walls;
}

std::unique_ptr<qxNewRoomCanvas> MakePlan(zelvDatabase& db, int32_t record, int32_t rooms) {
  auto canvas = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 1000, 1000}, &db);
  for (int32_t i = 0; i < rooms; ++i) AddRoom(*canvas, db, record, 1000.0f + float(i) * kRoomSpacing);
  return canvas;
}

// The fastest round of each plan; the rounds of the two plans take turns, so that both meet the same
// load of the machine.
void Measure(Host& host, qxNewRoomCanvas& small, qxNewRoomCanvas& large, double& smallSeconds,
             double& largeSeconds) {
  smallSeconds = largeSeconds = 1e9;
  for (int32_t i = 0; i < kRepeats; ++i) {
    for (auto [plan, best] : {std::pair{&small, &smallSeconds}, std::pair{&large, &largeSeconds}}) {
      host.room = plan;
      const double start = bench::ThreadSeconds();
      Round(*plan);
      *best = std::min(*best, bench::ThreadSeconds() - start);
    }
  }
  host.room = nullptr;
}

void Report(qxNewRoomCanvas& plan, int32_t rooms, int32_t walls, double seconds) {
  std::printf("%3d rooms: %3d floors, %4d wall bodies; %8.3f ms\n", rooms, plan.CountFloors(), walls,
              seconds * 1e3);
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("roomrebuild");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      Host host(db);
      iElementHost::Install(&host);
      const int32_t record = AddWallRecord(db);
      std::unique_ptr<qxNewRoomCanvas> smallPlan = MakePlan(db, record, kSmallPlan);
      std::unique_ptr<qxNewRoomCanvas> largePlan = MakePlan(db, record, kLargePlan);
      // The first round makes the first floors and walls and fills the look-up caches.
      host.room = smallPlan.get();
      const int32_t smallWalls = Round(*smallPlan);
      host.room = largePlan.get();
      const int32_t largeWalls = Round(*largePlan);
      double small = 0.0, large = 0.0;
      Measure(host, *smallPlan, *largePlan, small, large);
      Report(*smallPlan, kSmallPlan, smallWalls, small);
      Report(*largePlan, kLargePlan, largeWalls, large);
      smallPlan.reset();
      largePlan.reset();
      const double ratio = large / small;
      bench::ReachAtMost("roomrebuild 4033 with wall meshes 60 / 6 walls", ratio, kLimit);
      iElementHost::Install(nullptr);
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
