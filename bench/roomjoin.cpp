// The corner steps of a room rebuild on a 60-wall plan against the same steps on a 6-wall room, in
// one run: corners at the segment ends, corners at crossings, the side faces of every wall and the
// outline cycles with their depth and orientation. The plan is made of blocks of 12 walls (7 rooms
// each, with T-joints, a corner where four walls meet and one round wall); the room is an L of 6
// walls. Ten times the walls may take at most 20 times as long; steps that compare every corner or
// face with every other would take about 100 times. A 600-wall plan of the same blocks may take at
// most 12 times as long as the 60-wall plan. Prints the time of each plan by step.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/OwnedHandle.h"
#include "foundation/Vcon_HandleManager.h"
#include "room/qxJunction.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

constexpr double kLimit = 20.0, kLargeLimit = 12.0;
using V = ppVector3;

class PaletteHost : public iElementHost {
 public:
  zelvproLayerPalette* LayerPalette() override { return &palette; }
  zelvproLayerPalette palette;
};

// Seconds per step of one rebuild.
struct StepTimes {
  double corners = 0, crossings = 0, faces = 0, cycles = 0;
  double Total() const { return corners + crossings + faces + cycles; }
};

// A room canvas with 100 mm walls that runs the corner steps of a room rebuild and can drop their
// results again.
class JoinCanvas : public qxNewRoomCanvas {
 public:
  explicit JoinCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, 800, 600}, db) {}
  int32_t IndexOf(const Vcon::String& name) override {
    if (name == "WallThickness") return 0;
    return name == "WallHeight" ? 1 : -1;
  }
  ppParameter GetValue(int32_t index) override { return ppParameter(index == 0 ? u"100" : u"2350"); }
  void DoCommand(int32_t /*command*/, intptr_t /*parameter*/) override {}

  void Drop() {
    delete junctions;
    delete cycles;
    junctions = nullptr;
    cycles = nullptr;
  }

  StepTimes Rebuild() {
    StepTimes t;
    std::vector<qxRoomSegment*> segments;
    ForEachChildElement(*this, [&](zelvproElement* child) {
      if (auto* s = dynamic_cast<qxRoomSegment*>(child)) segments.push_back(s);
    });
    double start = bench::ThreadSeconds();
    BeginCornerIndex();
    for (qxRoomSegment* s : segments) AttachSegmentEnd(s, s->Start()), AttachSegmentEnd(s, s->End());
    t.corners = Lap(start);
    for (qxRoomSegment* s : segments) AddCrossingJunctions(s);
    EndCornerIndex();
    t.crossings = Lap(start);
    // Gathered first and handed over as one handle: appending to the handle wall by wall would copy
    // it again each time.
    std::vector<WallEdge> all;
    for (qxRoomSegment* s : segments) {
      s->SortJunctions();
      OwnedHandle own(s->BuildSideEdges());
      const WallEdge* first = WallEdge::At(own.Get(), 0);
      all.insert(all.end(), first, first + WallEdge::CountIn(own.Get()));
    }
    OwnedHandle faces;
    MemInsertBytes(all.data(), uint32_t(all.size() * sizeof(WallEdge)), faces.Get(), kMemAppend);
    t.faces = Lap(start);
    cycles = BuildCycles(faces.Get());
    t.cycles = Lap(start);
    return t;
  }

  // Closed inner and outer cycles and open ones.
  void Count(int32_t& inner, int32_t& outer, int32_t& open) const {
    inner = outer = open = 0;
    for (qxLineCycle* c = cycles; c != nullptr; c = c->next) {
      if (!c->IsClosed())
        ++open;
      else if (c->IsInside() && IsTurningPositive(*c))
        ++inner;
      else if (!c->IsInside() && !IsTurningPositive(*c))
        ++outer;
    }
  }

 private:
  static double Lap(double& start) {
    const double now = bench::ThreadSeconds(), lap = now - start;
    start = now;
    return lap;
  }
};

using Walls = std::vector<std::pair<V, V>>;

// One block of 6 x 4 m: 4 rooms above the middle wall, 3 below; the middle wall and the inner walls
// end on other walls (T-joints), the top wall is in two pieces meeting an inner wall, and the lower
// half of the right wall is round.
Walls Block(float x, float z) {
  const auto at = [&](float px, float pz) { return V(x + px, 0, z + pz); };
  Walls w = {{at(0, 0), at(3000, 0)},         {at(3000, 0), at(6000, 0)}, {at(0, 2000), at(6000, 2000)},
             {at(0, 4000), at(6000, 4000)},   {at(0, 0), at(0, 4000)},    {at(6000, 0), at(6000, 2000)},
             {at(6000, 2000), at(6000, 4000)}};
  for (float px : {1500.0f, 3000.0f, 4500.0f}) w.push_back({at(px, 0), at(px, 2000)});
  for (float px : {2000.0f, 4000.0f}) w.push_back({at(px, 2000), at(px, 4000)});
  return w;
}

Walls Plan(int32_t blocks) {
  Walls all;
  for (int32_t b = 0; b < blocks; ++b) {
    const Walls w = Block(float(b % 10) * 8000.0f, float(b / 10) * 6000.0f);
    all.insert(all.end(), w.begin(), w.end());
  }
  return all;
}

Walls LRoom() {
  const V p[] = {V(0, 0, 0),       V(6000, 0, 0),    V(6000, 0, 3000),
                 V(3000, 0, 3000), V(3000, 0, 5000), V(0, 0, 5000)};
  Walls w;
  for (int32_t i = 0; i < 6; ++i) w.push_back({p[i], p[(i + 1) % 6]});
  return w;
}

std::unique_ptr<JoinCanvas> MakeRoom(zelvDatabase& db, int32_t record, const Walls& walls) {
  auto canvas = std::make_unique<JoinCanvas>(&db);
  int32_t n = 0;
  for (const auto& [a, b] : walls) {
    db.TopViewFile().ReadRecord(record, nullptr);
    auto* s = new qxRoomSegment(record, canvas.get(), plat::RECT{0, 0, 10, 10},
                                db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    s->SetEnds(a, b);
    // The lower half of each block's right wall is round.
    if (walls.size() > 6 && n % 12 == 6)
      s->SetValue(s->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
    ++n;
  }
  return canvas;
}

// A canvas with the walls, and the fastest time of each step over its rebuilds.
struct Subject {
  std::unique_ptr<JoinCanvas> canvas;
  StepTimes best{1e9, 1e9, 1e9, 1e9};

  void Run() {
    canvas->Drop();
    const StepTimes t = canvas->Rebuild();
    best = StepTimes{std::min(best.corners, t.corners), std::min(best.crossings, t.crossings),
                     std::min(best.faces, t.faces), std::min(best.cycles, t.cycles)};
  }
  // False when the cycles are not the expected closed inner and outer ones.
  bool Check(int32_t inner, int32_t outer) const {
    int32_t in = 0, out = 0, open = 0;
    canvas->Count(in, out, open);
    if (in == inner && out == outer && open == 0) return true;
    std::printf("%d inner, %d outer, %d open cycles; expected %d, %d, 0\n", in, out, open, inner, outer);
    return false;
  }
};

void Print(const char* name, const StepTimes& t) {
  std::printf("%-10s %9.3f ms  (corners %.3f, crossings %.3f, side faces %.3f, cycles %.3f)\n", name,
              t.Total() * 1e3, t.corners * 1e3, t.crossings * 1e3, t.faces * 1e3, t.cycles * 1e3);
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  // Freed memory stays with the allocator, so that the large plan's rounds measure the steps, not
  // the kernel's first touch of pages handed back and taken again.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  {
    const bench::ScratchFolder dir("roomjoin");
    {
      PaletteHost host;
      iElementHost::Install(&host);
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      db.TopViewFile().ClearRecordBuffer(nullptr);
      int32_t record = 0;
      db.TopViewFile().AddRecord(&record, nullptr);

      // The three take turns, so that all meet the same load of the machine; the large plan runs
      // in every tenth turn.
      Subject room{MakeRoom(db, record, LRoom())}, plan{MakeRoom(db, record, Plan(5))};
      Subject large{MakeRoom(db, record, Plan(50))};
      for (int32_t round = 0; round < 300; ++round) {
        room.Run();
        plan.Run();
        if (round % 10 == 0) large.Run();
      }
      failed |= !room.Check(1, 1) || !plan.Check(35, 5) || !large.Check(350, 50);
      Print("6 walls", room.best);
      Print("60 walls", plan.best);
      Print("600 walls", large.best);
      bench::ReachAtMost("roomjoin 60 / 6 walls", plan.best.Total() / room.best.Total(), kLimit);
      bench::ReachAtMost("roomjoin 600 / 60 walls", large.best.Total() / plan.best.Total(), kLargeLimit);
      iElementHost::Install(nullptr);
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
