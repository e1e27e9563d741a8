// Mouse moves over the room plan in the Draw Walls mode cost about the same whatever the plan's
// size: 1,000 moves across a plan of ten L-shaped rooms of six walls each (60 walls, ten floors with
// their wall bodies) against 1,000 moves across one such room, in one run. A move is what the plan
// window does with it: the canvas's hit test over its children (every wall, every floor with its
// walls), the enter and leave of the element under the mouse, and the wall's hover feedback drawn
// in XOR on a headless window. The cost per move of the large plan may be at most 3 times that of
// the small one: each wall and floor keeps its hit region and bounds until its geometry changes, so
// a move asks most of them only their bounds.
// Times are thread CPU times, the fastest of several rounds, the two plans' rounds taking turns.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproRoomButtons.h"

namespace {

using bench::AddRoom;
using bench::AddWallRecord;

constexpr int32_t kSmallPlan = 1, kLargePlan = 10, kMoves = 1000, kRounds = 15;
constexpr double kLimit = 3.0;
constexpr float kRoomSpacing = 6000.0f;  // millimetres between the rooms' origins along x
constexpr double kScale = 20.0;          // millimetres a pixel
constexpr int32_t kWidth = 3100, kHeight = 320;

// The catalogue of the run is catalogue 1; the plan scale is the palette's.
class Host : public iElementHost {
 public:
  explicit Host(zelvDatabase& db) : db_(db) { palette.SetScale(kScale); }
  zelvDatabase* FindDatabase(int32_t identifier) override { return identifier == 1 ? &db_ : nullptr; }
  zelvproElement* NewRoomCanvas() override { return room; }
  zelvproLayerPalette* LayerPalette() override { return &palette; }
  zelvproElement* room = nullptr;
  zelvproLayerPalette palette;

 private:
  zelvDatabase& db_;
};

// A room canvas shown on a window, as the plan is.
class WindowCanvas : public qxNewRoomCanvas {
 public:
  WindowCanvas(zelvDatabase* db, plat::HWND window)
      : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, kWidth, kHeight}, db), window_(window) {}
  plat::HWND GetHWND() override { return window_; }

 private:
  plat::HWND window_;
};

// The plan with its floors and wall bodies, as command 4033 leaves it.
std::unique_ptr<qxNewRoomCanvas> MakePlan(Host& host, zelvDatabase& db, plat::HWND window, int32_t record,
                                          int32_t rooms) {
  auto canvas = std::make_unique<WindowCanvas>(&db, window);
  for (int32_t i = 0; i < rooms; ++i) AddRoom(*canvas, db, record, 1000.0f + float(i) * kRoomSpacing);
  host.room = canvas.get();
  canvas->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  host.room = nullptr;
  return canvas;
}

// 1,000 moves over the plan's rooms in ten rows, each row crossing every room from left to right a
// little below the last, so that the mouse passes walls, floors and the space between them.
void Moves(qxNewRoomCanvas& plan, int32_t rooms) {
  const int32_t left = int32_t(1000 / kScale) - 5, right = int32_t((1000 + rooms * kRoomSpacing) / kScale);
  const int32_t top = int32_t(1000 / kScale) - 5, bottom = int32_t(5000 / kScale) + 5;
  constexpr int32_t kRows = 10, kPerRow = kMoves / kRows;
  for (int32_t row = 0; row < kRows; ++row) {
    const int32_t y = top + (bottom - top) * row / (kRows - 1);
    for (int32_t i = 0; i < kPerRow; ++i) plan.MouseMove(left + (right - left) * i / (kPerRow - 1), y);
  }
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("roomhover");
    plat::HeadlessDriver::Reset();
    plat::WNDCLASSA wc;
    wc.lpfnWndProc = plat::DefWindowProcA;
    wc.lpszClassName = "BenchRoomHover";
    plat::RegisterClassA(&wc);
    plat::HWND window = plat::CreateWindowExA(0, "BenchRoomHover", "", plat::WS_POPUP | plat::WS_VISIBLE, 0,
                                              0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    plat::HeadlessDriver::RunUntilIdle();
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      Host host(db);
      iElementHost::Install(&host);
      const int32_t record = AddWallRecord(db);
      std::unique_ptr<qxNewRoomCanvas> small = MakePlan(host, db, window, record, kSmallPlan);
      std::unique_ptr<qxNewRoomCanvas> large = MakePlan(host, db, window, record, kLargePlan);
      DrawWallsMode = true;
      if (small->CountFloors() != kSmallPlan || large->CountFloors() != kLargePlan) {
        std::printf("floors: %d and %d, expected %d and %d\n", small->CountFloors(), large->CountFloors(),
                    kSmallPlan, kLargePlan);
        failed = true;
      }
      double smallSeconds = 1e9, largeSeconds = 1e9;
      for (int32_t round = 0; round < kRounds; ++round) {
        for (auto [plan, rooms, best] : {std::tuple{small.get(), kSmallPlan, &smallSeconds},
                                         std::tuple{large.get(), kLargePlan, &largeSeconds}}) {
          const double start = bench::ThreadSeconds();
          Moves(*plan, rooms);
          *best = std::min(*best, bench::ThreadSeconds() - start);
        }
      }
      std::printf("%2d rooms, %2d walls: %8.3f us a move\n", kSmallPlan, kSmallPlan * 6,
                  smallSeconds / kMoves * 1e6);
      std::printf("%2d rooms, %2d walls: %8.3f us a move\n", kLargePlan, kLargePlan * 6,
                  largeSeconds / kMoves * 1e6);
      bench::ReachAtMost("roomhover move 60 / 6 walls", largeSeconds / smallSeconds, kLimit);
      DrawWallsMode = false;
      small.reset();
      large.reset();
      iElementHost::Install(nullptr);
    }
    plat::DestroyWindow(window);
    plat::HeadlessDriver::Reset();
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
