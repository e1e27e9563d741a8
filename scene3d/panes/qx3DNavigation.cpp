#include "scene3d/panes/qx3DNavigation.h"

#include "framework/ppEventHandler.h"
#include "platform/WindowTypes.h"
#include "scene3d/context/iContext.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qx3DPane.h"
#include "scene3d/panes/qxCameraNavigation.h"
#include "scene3d/panes/qxCameraRecords.h"

namespace {

constexpr float kBoundsMargin = 1.02f;
constexpr uint32_t kFitViewFlag = 0x4;
constexpr int32_t kTopCanvasTurnRight = 4009;
constexpr int32_t kTopCanvasTurnLeft = 4008;

// A context that answers the pane's aspect ratio, for fits before the shared context exists (the
// first view of a document is fitted before anything was drawn).
class PaneShapeContext : public iContext {
 public:
  explicit PaneShapeContext(const qx3DPane& pane)
      : aspect_(pane.FrameHeight() > 0 && pane.FrameWidth() > 0
                    ? float(pane.FrameWidth()) / float(pane.FrameHeight())
                    : 1.0f) {}
  float GetAspectRatio() override { return aspect_; }

 private:
  float aspect_;
};

void MoveCamera(int32_t code, float step) {
  qxCamera& camera = *qxCameraRecords::Current();
  const float angle = qxCameraNavigation::AngleStep(step);
  switch (code) {
    case qx3DNavigation::kForward:
      return qxCameraNavigation::Move(camera, -step, false, false);
    case qx3DNavigation::kBack:
      return qxCameraNavigation::Move(camera, step, false, false);
    case qx3DNavigation::kLeft:
      return qxCameraNavigation::Move(camera, -step, true, false);
    case qx3DNavigation::kRight:
      return qxCameraNavigation::Move(camera, step, true, false);
    case qx3DNavigation::kUp:
      return qxCameraNavigation::Move(camera, step, false, true);
    case qx3DNavigation::kDown:
      return qxCameraNavigation::Move(camera, -step, false, true);
    case qx3DNavigation::kTurnRight:
      return qxCameraNavigation::Turn(camera, -angle);
    case qx3DNavigation::kTurnLeft:
      return qxCameraNavigation::Turn(camera, angle);
    case qx3DNavigation::kTiltUp:
      return qxCameraNavigation::Tilt(camera, angle);
    case qx3DNavigation::kTiltDown:
      return qxCameraNavigation::Tilt(camera, -angle);
    default:
      return;
  }
}

}  // namespace

void qx3DNavigation::Navigate(qx3DPane& pane, int32_t code) {
  if (!pane.KeepRedraw()) pane.SetRedrawAll(true);
  if (code == kReset) {
    Reset(pane);
  } else if (code >= kFirstSide && code <= kLastSide && (code - kFirstSide) % 4 == 0) {
    pane.Eye().pitch = 0.0f;
    PlaceEyeFromSide(pane, (code - kFirstSide) / 4 + 1);
  } else {
    MoveCamera(code, qxCameraNavigation::Step(ppEventHandler::IsShiftKeyDown()));
  }
  pane.Invalidate();
}

void qx3DNavigation::NavigateElement(qx3DPane& pane, int32_t code) {
  pane.SetRedrawAll(true);
  const bool alt = ppEventHandler::IsAltKeyDown();
  switch (code) {
    case kForward:
    case kBack:
    case kLeft:
    case kRight: {
      static constexpr int32_t kKeys[4] = {plat::VK_UP, plat::VK_DOWN, plat::VK_LEFT, plat::VK_RIGHT};
      if (alt)
        pane.NavigateCommand(code);
      else
        pane.NavigateKey(kKeys[(code - kForward) / 4]);
      break;
    }
    case kUp:
    case kDown:
      pane.NavigateCommand(code);
      break;
    case kTurnRight:
      pane.Host().TopCanvasCommand(kTopCanvasTurnRight, 0);
      break;
    case kTurnLeft:
      pane.Host().TopCanvasCommand(kTopCanvasTurnLeft, 0);
      break;
    case kReset:
      Reset(pane);
      break;
    default:
      break;
  }
  pane.Invalidate();
}

void qx3DNavigation::FitCurrent(qx3DPane& pane, const ppBounds3& box) {
  glContext* shared = Shared3DContext::Get();
  PaneShapeContext shape(pane);
  iContext& context = shared ? static_cast<iContext&>(*shared) : shape;
  qxCameraRecords::Current()->FitView(context, box, 1.0f);
}

void qx3DNavigation::Reset(qx3DPane& pane) {
  qxCameraRecords::CopyPresets();
  FitCurrent(pane, pane.Host().CanvasBounds(kBoundsMargin));
}

void qx3DNavigation::HomeReset(qx3DPane& pane) {
  qxCameraRecords::CopyPresets();
  const uint32_t flags = pane.Host().ViewFlags();
  if (flags == 0 || (flags & kFitViewFlag))
    FitCurrent(pane, pane.Host().CanvasBounds(kBoundsMargin));
  else
    pane.Host().SelectViewPreset(flags);
}

void qx3DNavigation::PlaceEyeFromSide(qx3DPane& pane, int32_t side) {
  if (pane.ViewIndex() > 2) return;
  qxEyePlacement::PlaceFromSide(pane.Eye(), side, pane.ViewIndex(), pane.Host().RoomCorners());
}
