// Dragging a unit over a large plan costs per move about what it costs over a small one, in one run:
// the time of one mouse move of the mover task on a plan of 500 units against one of 5; at most 3
// times. Units are 600 mm boxes with four anchors, in rows of 25, 1400 mm apart (so a unit fits between
// two with room to spare) and 1400 mm from row to row, inside a room of four wall bodies. The selected
// unit is dragged so that every move brings its left anchor onto the right anchor of another unit; the
// task's per-snap-point answers are forgotten before every move, so each move runs the snap search, the
// placement at the snap, the collision test and the exclusive-or feedback. Times are thread CPU times,
// the fastest of several rounds.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "canvas/tasks/zelvproMoverTask.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/context/ppShape3D.h"

namespace {

constexpr int32_t kRowLength = 25, kMoves = 400, kRounds = 5;
constexpr float kSize = 600.0f, kSpacing = 1400.0f, kHeight = 720.0f;  // millimetres
constexpr int32_t kWidthPixels = 800, kHeightPixels = 600;
constexpr double kLimit = 3.0;

ppShape3D Box(const ppVector3& size) {
  ppShape3D shape;
  const float x = size.x, y = size.y, z = size.z;
  const float faces[6][4][3] = {
      {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0}}, {{0, 0, z}, {0, y, z}, {x, y, z}, {x, 0, z}},
      {{0, 0, 0}, {0, y, 0}, {0, y, z}, {0, 0, z}}, {{x, 0, 0}, {x, 0, z}, {x, y, z}, {x, y, 0}},
      {{0, 0, 0}, {0, 0, z}, {x, 0, z}, {x, 0, 0}}, {{0, y, 0}, {x, y, 0}, {x, y, z}, {0, y, z}}};
  for (const auto& face : faces) {
    shape.Begin(9);
    for (const auto& p : face) shape.Vertex(p[0], p[1], p[2]);
    shape.End();
  }
  return shape;
}

// A box body from its position to `size`, with anchors at its four corners (left -5 and right 5 at
// the front, -6 and 6 at the back) when asked.
class Unit : public zelvproElement {
 public:
  Unit(ppView* parent, const ppVector3& at, const ppVector3& size, bool anchors, int32_t unitKind = 0)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    position = at;
    dimensions = size;
    kind = unitKind;
    UnitLayer().faces = Box(size);
    if (!anchors) return;
    const struct {
      int32_t code;
      float x, z;
    } corners[] = {{-5, 0.0f, 0.0f}, {5, kSize, 0.0f}, {-6, 0.0f, kSize}, {6, kSize, kSize}};
    for (const auto& c : corners) {
      SnapAnchor s;
      s.code = c.code, s.point = ppVector3(c.x, 0.0f, c.z), s.flags = SnapAnchor::kNoAccessRequest;
      snapPoints.push_back(s);
    }
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override {
    ppBounds3 box;
    box.centre = ppVector3(dimensions.x / 2, dimensions.y / 2, dimensions.z / 2);
    box.half = box.centre;
    return box;
  }
};

class WindowCanvas : public zelvproTopCanvas {
 public:
  explicit WindowCanvas(plat::HWND window)
      : zelvproTopCanvas(nullptr, plat::RECT{0, 0, kWidthPixels, kHeightPixels}, nullptr), window_(window) {}
  plat::HWND GetHWND() override { return window_; }

 private:
  plat::HWND window_;
};

class Host : public iElementHost {
 public:
  zelvproElement* TopCanvas() override { return top; }
  zelvproElement* NewRoomCanvas() override { return room; }
  zelvproLayerPalette* LayerPalette() override { return &palette; }
  zelvproElement* top = nullptr;
  zelvproElement* room = nullptr;
  zelvproLayerPalette palette;
};

ppVector3 PlaceOf(int32_t i) {
  return ppVector3(1000.0f + float(i % kRowLength) * kSpacing, 0.0f,
                   1000.0f + float(i / kRowLength) * kSpacing);
}

// The time of one move, seconds; `collisions` counts the renderer's runs as a check of the work done.
double MoveSeconds(Host& host, plat::HWND window, int32_t count, int32_t& runs) {
  WindowCanvas top(window);
  qxNewRoomCanvas room(nullptr, plat::RECT{0, 0, kWidthPixels, kHeightPixels}, nullptr);
  host.top = &top, host.room = &room;
  std::vector<Unit*> units;
  for (int32_t i = 0; i < count; ++i)
    units.push_back(new Unit(&top, PlaceOf(i), ppVector3(kSize, kHeight, kSize), true));
  // The room: four wall bodies around the rows.
  const int32_t rows = (count + kRowLength - 1) / kRowLength;
  const float right = 1000.0f + kRowLength * kSpacing, bottom = 1000.0f + float(rows) * kSpacing;
  new Unit(&room, ppVector3(0, 0, 0), ppVector3(right + 1000.0f, 2400.0f, 10.0f), false,
           ElementKinds::kWallBody);
  new Unit(&room, ppVector3(0, 0, bottom + 1000.0f), ppVector3(right + 1000.0f, 2400.0f, 10.0f), false,
           ElementKinds::kWallBody);
  new Unit(&room, ppVector3(0, 0, 0), ppVector3(10.0f, 2400.0f, bottom + 1000.0f), false,
           ElementKinds::kWallBody);
  new Unit(&room, ppVector3(right + 1000.0f, 0, 0), ppVector3(10.0f, 2400.0f, bottom + 1000.0f), false,
           ElementKinds::kWallBody);
  Unit* moved = units.front();
  const double scale = host.palette.GetScale();
  const ppVector3 home = moved->GetPosition();
  const plat::POINT press{int32_t(home.x / scale) + 5, int32_t(home.z / scale) + 5};
  double best = 1e9;
  runs = 0;
  for (int32_t round = 0; round < kRounds; ++round) {
    auto task =
        std::make_unique<zelvproMoverTask>(new qxViewHolder(moved, nullptr, true), &top, nullptr, false);
    task->Start(press.x, press.y);
    const double start = bench::ThreadSeconds();
    for (int32_t m = 0; m < kMoves; ++m) {
      // The next unit of the plan other than the moved one: the moved unit's left front anchor goes
      // next to its right front anchor.
      const ppVector3 at = units[size_t(1 + m % (count - 1))]->GetPosition();
      plat::POINT p{press.x + int32_t((at.x + kSize + 5.0f - home.x) / scale),
                    press.y + int32_t((at.z + 5.0f - home.z) / scale)};
      task->ClearSnapCaches();
      task->PreTrack(&p);
      task->Move(&p);
    }
    best = std::min(best, bench::ThreadSeconds() - start);
    runs += task->CollisionRuns();
    if (task->SnapTarget() == nullptr) std::printf("%d units: the last move found no anchor\n", count);
  }
  host.top = host.room = nullptr;
  return best / kMoves;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    plat::HeadlessDriver::Reset();
    plat::WNDCLASSA wc;
    wc.lpfnWndProc = plat::DefWindowProcA;
    wc.lpszClassName = "BenchDrag";
    plat::RegisterClassA(&wc);
    plat::HWND window =
        plat::CreateWindowExA(0, "BenchDrag", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kWidthPixels,
                              kHeightPixels, nullptr, nullptr, nullptr, nullptr);
    plat::HeadlessDriver::RunUntilIdle();
    Host host;
    iElementHost::Install(&host);
    int32_t smallRuns = 0, largeRuns = 0;
    const double small = MoveSeconds(host, window, 5, smallRuns);
    const double large = MoveSeconds(host, window, 500, largeRuns);
    std::printf("drag move,   5 units: %9.3f us (%d collision tests)\n", small * 1e6, smallRuns);
    std::printf("drag move, 500 units: %9.3f us (%d collision tests)\n", large * 1e6, largeRuns);
    bench::ReachAtMost("drag move 500 / 5 units", large / small, kLimit);
    iElementHost::Install(nullptr);
    plat::DestroyWindow(window);
    plat::HeadlessDriver::Reset();
  }
  MemTerminate();
  return bench::ReachStatus();
}
