// Dragging a unit in the 3D view costs per move about what it costs in a small plan, in one run: the
// mean time of one mouse move of the 3D mover in a 1024 x 768 pane among 200 units against among 20;
// at most 3 times. Every unit is a box of about 2,000 triangles. One unit of the plan is a rail with
// an anchor every 700 mm along its front; the moved unit is dragged along it so that every move
// brings its anchor onto a new anchor of the rail, so each move runs the placement under the mouse,
// the snap search, the placement at the snap, the collision test and the feedback drawing (the
// press-time picture put back, the moved unit drawn over it). The other units stand in rows of 20,
// 1400 mm apart, behind the rail. Times are thread CPU times, the fastest of several rounds.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "canvas/view3d/zelvpro3DMoverTask.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

constexpr int32_t kRowLength = 20, kMoves = 100, kRounds = 3, kRailAnchors = kMoves + 2;
constexpr float kSize = 600.0f, kSpacing = 1400.0f, kHeight = 720.0f, kAnchorStep = 700.0f;  // millimetres
constexpr int32_t kWidthPixels = 1024, kHeightPixels = 768;
// Quads per box edge: 6 faces of 13 x 13 quads make 2,028 triangles.
constexpr int32_t kQuadsPerEdge = 13;
constexpr double kLimit = 3.0;

// A closed box from the origin to `size`, each face split into kQuadsPerEdge squared quads.
ppShape3D Box(const ppVector3& size) {
  ppShape3D shape;
  const int32_t n = kQuadsPerEdge;
  auto face = [&](auto corner) {
    for (int32_t i = 0; i < n; ++i)
      for (int32_t j = 0; j < n; ++j) {
        shape.Begin(9);
        const float u0 = float(i) / n, u1 = float(i + 1) / n, v0 = float(j) / n, v1 = float(j + 1) / n;
        for (const auto& uv : {std::pair{u0, v0}, std::pair{u1, v0}, std::pair{u1, v1}, std::pair{u0, v1}}) {
          const ppVector3 p = corner(uv.first, uv.second);
          shape.Vertex(p.x, p.y, p.z);
        }
        shape.End();
      }
  };
  const float x = size.x, y = size.y, z = size.z;
  face([&](float u, float v) { return ppVector3(u * x, v * y, 0); });
  face([&](float u, float v) { return ppVector3(u * x, v * y, z); });
  face([&](float u, float v) { return ppVector3(0, u * y, v * z); });
  face([&](float u, float v) { return ppVector3(x, u * y, v * z); });
  face([&](float u, float v) { return ppVector3(u * x, 0, v * z); });
  face([&](float u, float v) { return ppVector3(u * x, y, v * z); });
  return shape;
}

class Unit : public zelvproElement {
 public:
  Unit(ppView* parent, const ppVector3& at, const ppVector3& size, int32_t unitKind = 0)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    position = at;
    dimensions = size;
    kind = unitKind;
    UnitLayer().faces = Box(size);
  }
  void AddAnchor(int32_t code, const ppVector3& at) {
    SnapAnchor s;
    s.code = code, s.point = at, s.flags = SnapAnchor::kNoAccessRequest;
    snapPoints.push_back(s);
  }
  ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) override {
    ppBounds3 box;
    box.centre = ppVector3(dimensions.x / 2, dimensions.y / 2, dimensions.z / 2);
    box.half = box.centre;
    return box;
  }
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

// The pane's scene: the room and the plan.
class PaneHost : public i3DPaneHost {
 public:
  void AddSceneParts(ppScene& scene) override {
    if (room != nullptr) scene.Add(room);
    if (top != nullptr) scene.Add(top);
  }
  zelvproElement* top = nullptr;
  zelvproElement* room = nullptr;
};

struct Result {
  double seconds = 0.0;
  int32_t runs = 0, draws = 0, sceneUnits = 0;
};

Result MoveSeconds(Host& host, PaneHost& paneHost, zelvpro3DPane& pane, int32_t count) {
  zelvproTopCanvas top(nullptr, plat::RECT{0, 0, kWidthPixels, kHeightPixels}, nullptr);
  qxNewRoomCanvas room(nullptr, plat::RECT{0, 0, kWidthPixels, kHeightPixels}, nullptr);
  host.top = paneHost.top = &top;
  host.room = paneHost.room = &room;
  // The rail, and the other units in rows behind it.
  const float railLength = kAnchorStep * float(kRailAnchors);
  auto* rail = new Unit(&top, ppVector3(1000, 0, 1000), ppVector3(railLength, kHeight, kSize));
  for (int32_t k = 0; k < kRailAnchors; ++k) rail->AddAnchor(-5, ppVector3(float(k) * kAnchorStep, 0, -5.0f));
  for (int32_t i = 0; i < count - 1; ++i)
    new Unit(&top,
             ppVector3(1000.0f + float(i % kRowLength) * kSpacing, 0.0f,
                       3400.0f + float(i / kRowLength) * kSpacing),
             ppVector3(kSize, kHeight, kSize));
  auto* moved = new Unit(&top, ppVector3(1000, 0, -2000), ppVector3(kSize - 200.0f, kHeight, kSize - 200.0f));
  // Its back left corner meets the rail's front: it stands in front of the rail, 5 mm clear.
  moved->AddAnchor(5, ppVector3(0, 0, kSize - 200.0f));
  // The camera looks down on the whole rail from in front of it, at 45 degrees.
  qxCamera& camera = *qxCameraRecords::Current();
  camera.kind = 0;  // the eye's central projection
  camera.pitch = -45.0f, camera.yaw = 0.0f;
  const float back = railLength * 0.75f;
  camera.position = ppVector3(1000.0f + railLength / 2, back, 1000.0f + back);
  pane.RenderScene(pane.DC());

  Result best;
  best.seconds = 1e9;
  for (int32_t round = 0; round < kRounds; ++round) {
    moved->SetPosition(ppVector3(1000, 0, -2000));
    const plat::POINT press =
        qx3DPicking::ProjectToWindow(pane, ppVector3(1000.0f, 0.0f, -2000.0f + kSize - 200.0f));
    auto task = std::make_unique<zelvpro3DMoverTask>(new qxViewHolder(moved, nullptr, true), &pane, moved);
    task->StartWithElement(press.x, press.y, nullptr);
    // Past the feedback delay: every move draws.
    plat::LayerClock::Advance(1000);
    const double start = bench::ThreadSeconds();
    int32_t missed = 0;
    for (int32_t m = 0; m < kMoves; ++m) {
      // A few millimetres in front of rail anchor m + 1.
      plat::POINT p = qx3DPicking::ProjectToWindow(
          pane, ppVector3(1000.0f + float(m + 1) * kAnchorStep + 20.0f, 0.0f, 1000.0f - 5.0f - 20.0f));
      task->PreTrack(&p);
      task->Move(&p);
      if (task->SnapTarget() != rail) ++missed;
    }
    if (missed != 0) std::printf("%d units: %d moves found no anchor\n", count, missed);
    const double took = bench::ThreadSeconds() - start;
    if (took < best.seconds) {
      best.seconds = took;
      best.runs = task->CollisionRuns();
      best.draws = task->FeedbackDraws();
      best.sceneUnits = task->LastSceneUnits();
    }
    task->RestorePlaces();
    if (auto* window = dynamic_cast<ppWindow*>(pane.GetRootView())) window->CaptureMouse(nullptr);
  }
  top.Clear();
  host.top = paneHost.top = nullptr;
  host.room = paneHost.room = nullptr;
  best.seconds /= kMoves;
  return best;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100'000);
    plat::WNDCLASSA wc;
    wc.lpfnWndProc = plat::DefWindowProcA;
    wc.lpszClassName = "BenchDrag3D";
    plat::RegisterClassA(&wc);
    plat::HWND window =
        plat::CreateWindowExA(0, "BenchDrag3D", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kWidthPixels,
                              kHeightPixels, nullptr, nullptr, nullptr, nullptr);
    zelvpro3DPane::RegisterClass();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(0);
    Host host;
    iElementHost::Install(&host);
    PaneHost paneHost;
    zelvpro3DPane* pane =
        zelvpro3DPane::Create(window, plat::RECT{0, 0, kWidthPixels, kHeightPixels}, &paneHost);
    if (pane == nullptr) return 1;
    plat::ShowWindow(pane->GetHWND(), plat::SW_SHOW);
    plat::HeadlessDriver::RunUntilIdle();
    // Walls 2,500 mm high: the units stay on the floor.
    SetLowestWallHeight(2500.0f);
    const Result small = MoveSeconds(host, paneHost, *pane, 20);
    const Result large = MoveSeconds(host, paneHost, *pane, 200);
    std::printf("3D drag move,  20 units: %9.3f us (%d collision tests, %d drawings, %d units tested)\n",
                small.seconds * 1e6, small.runs, small.draws, small.sceneUnits);
    std::printf("3D drag move, 200 units: %9.3f us (%d collision tests, %d drawings, %d units tested)\n",
                large.seconds * 1e6, large.runs, large.draws, large.sceneUnits);
    bench::ReachAtMost("drag3d", large.seconds / small.seconds, kLimit);
    plat::DestroyWindow(pane->GetHWND());
    Shared3DContext::Delete();
    iElementHost::Install(nullptr);
    plat::DestroyWindow(window);
    plat::HeadlessDriver::Reset();
  }
  MemTerminate();
  return bench::ReachStatus();
}
