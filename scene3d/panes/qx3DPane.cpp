#include "scene3d/panes/qx3DPane.h"

#include <GL/gl.h>

#include <cmath>

#include "framework/ppCursorTable.h"
#include "framework/ppMouseTask.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/PixelFormatSelection.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"

namespace {

constexpr int32_t kRenderStyleFirst = 3070;
constexpr int32_t kRenderStyleLast = 3073;
constexpr int32_t kPerspectiveView = 3074;
constexpr int32_t kAxonometricView = 3075;
constexpr int32_t kParallelView = 3076;
constexpr int32_t kNavigateCamera = 3078;
constexpr int32_t kNavigateElements = 3079;
constexpr float kAimPitch = -30.0f;
constexpr float kAimMargin = 1.02f;
// The room's bounds are grown by this factor when a view is fitted to them.
constexpr float kFitMargin = 1.02f;

// The navigation code an arrow key gives under the held modifiers.
int32_t ArrowCode(int32_t key, bool ctrl, bool alt) {
  const bool turn = ctrl && !alt;
  switch (key) {
    case plat::VK_LEFT:
      return turn ? qx3DNavigation::kTurnLeft : qx3DNavigation::kLeft;
    case plat::VK_RIGHT:
      return turn ? qx3DNavigation::kTurnRight : qx3DNavigation::kRight;
    case plat::VK_UP:
      return !ctrl ? qx3DNavigation::kForward : alt ? qx3DNavigation::kUp : qx3DNavigation::kTiltUp;
    case plat::VK_DOWN:
      return !ctrl ? qx3DNavigation::kBack : alt ? qx3DNavigation::kDown : qx3DNavigation::kTiltDown;
    default:
      return 0;
  }
}

}  // namespace

qx3DPane::qx3DPane(plat::HWND window, const plat::RECT& frame, i3DPaneHost* host)
    : ppWindow(window), host_(host), frame_(frame) {
  SetFrame(frame);
  dc_ = plat::GetDC(window);
  selectPixelFormat(dc_, false);
  for (uint8_t view = 0; view < 3; ++view) {
    viewIndex_ = view;
    ResetView();
  }
  viewIndex_ = 0;
}

qx3DPane::~qx3DPane() {
  // The shared context made on this device context cannot draw once it is released.
  Shared3DContext::ForgetDC(dc_);
  plat::ReleaseDC(window_, dc_);
}

bool qx3DPane::selectPixelFormat(plat::HDC dc, bool gdi) {
  return PixelFormatSelection::SelectAndSet(dc, gdi, nullptr);
}

qx3DEyeRecord& qx3DPane::Eye() {
  if (viewIndex_ > 2) {
    scratchEye_ = qx3DEyeRecord();
    return scratchEye_;
  }
  return eyes_[viewIndex_];
}

// ---- Keys and commands.

void qx3DPane::KeyDown(signed char key, int32_t flags) {
  const bool savedTarget = navigationTarget_;
  navigationTarget_ = false;
  ppWindow::KeyDown(key, flags);
  handledByKey_ = true;
  const int32_t code = static_cast<unsigned char>(key);
  if (code == plat::VK_BACK || code == plat::VK_DELETE) {
    DoCommand(kDeleteSelection, 0);
    redrawAll_ = true;
  } else if (code == plat::VK_HOME) {
    qx3DNavigation::HomeReset(*this);
    Invalidate();
  } else {
    ArrowKey(code);
  }
  navigationTarget_ = savedTarget;
}

void qx3DPane::ArrowKey(int32_t key) {
  const int32_t code = ArrowCode(key, IsControlKeyDown(), IsAltKeyDown());
  if (code == 0) return;
  DoCommand(kNavigate, code);
  Invalidate();
}

void qx3DPane::DoCommand(int32_t command, intptr_t argument) {
  handledByKey_ = true;
  if (command >= kRenderStyleFirst && command <= kRenderStyleLast) {
    renderStyle_ = uint8_t(command - kRenderStyleFirst);
    Invalidate();
    return;
  }
  switch (command) {
    case kPerspectiveView:
    case kAxonometricView:
    case kParallelView: {
      viewIndex_ = uint8_t(command - kPerspectiveView);
      qxCameraRecords::SetCurrent(command == kPerspectiveView   ? qxCameraRecords::kPerspective
                                  : command == kAxonometricView ? qxCameraRecords::kAxonometric
                                                                : qxCameraRecords::kParallel);
      // The chosen kind of view shows the room whole, as the first view does.
      qx3DNavigation::FitCurrent(*this, host_->CanvasBounds(kFitMargin));
      redrawAll_ = true;
      Invalidate();
      return;
    }
    case kNavigateCamera:
      navigationTarget_ = false;
      return;
    case kNavigateElements:
      navigationTarget_ = true;
      return;
    default:
      ppWindow::DoCommand(command, argument);
  }
}

// ---- Drawing and showing.

void qx3DPane::DrawContent(ppDC&) {
  plat::SelectClipRgn(dc_, nullptr);
  RenderScene(dc_);
}

void qx3DPane::Show() {
  if (!shownOnce_) {
    ResetView();
    shownOnce_ = true;
  }
  redrawAll_ = true;
  ppWindow::Show();
}

void qx3DPane::AdjustCursor(int32_t, int32_t) {
  ppCursorTable* table = ppCursorTable::Global();
  if (!table) return;
  if (host_->ToolModeActive())
    table->SetByIndex(host_->ToolModeCursor());
  else
    table->SetDefault();
}

void qx3DPane::SupervisorResized(int32_t dx, int32_t dy) {
  frame_.right += dx;
  frame_.bottom += dy;
  plat::RECT placed{};
  plat::GetWindowRect(window_, &placed);
  plat::POINT origin{placed.left, placed.top};
  if (plat::HWND parent = plat::GetParent(window_)) plat::ScreenToClient(parent, &origin);
  plat::MoveWindow(window_, origin.x, origin.y, placed.right - placed.left + dx,
                   placed.bottom - placed.top + dy, 0);
  ppView::SupervisorResized(dx, dy);
  SetFrame(plat::RECT{0, 0, frame_.right - frame_.left, frame_.bottom - frame_.top});
  Invalidate();
}

void qx3DPane::NoteElementChanged(i3DPaneElement& element) {
  element.SetPending();
  pendingUpdate_ = true;
}

bool qx3DPane::RayHit(i3DPaneElement& element, const qxRay& ray, ppVector3* point, ppVector3* normal) {
  return element.RayHit(ray, point, normal);
}

void qx3DPane::NothingHit() { host_->RefreshRulers(); }

// ---- The click.

bool qx3DPane::IsDoubleClick(int32_t x, int32_t y) {
  handledByKey_ = false;
  plat::SetFocus(window_);
  const uint32_t now = ppMouseTask::GetTicks();
  // The first click of the pane's life has nothing to pair with.
  const bool doubleClick = clickedBefore_ && now - lastClickTime_ <= kDoubleClickTicks;
  clickedBefore_ = true;
  lastClickTime_ = now;
  i3DPaneElement* element = qx3DPicking::PickAt(*this, x, y, 1.0f, 1.0f, qx3DPicking::kClickPick);
  if (!element) {
    NothingHit();
    Invalidate();
    host_->ShowDefaultConfigurator();
  } else {
    host_->SetHitElement(element);
    if (doubleClick) host_->ShowConfiguratorForElement(element);
    const bool aimOnly = IsControlKeyDown() && qxCameraRecords::Current()->IsPerspective();
    if (!aimOnly && (!host_->ToolModeActive() || host_->ToolModeSelects())) {
      SelectByClick(element, doubleClick, now);
    } else {
      AimAt(*element, IsShiftKeyDown());
    }
  }
  if (!handledByKey_) {
    Invalidate();
    plat::UpdateWindow(window_);
    ClickedNothing(x, y);
  }
  return true;
}

void qx3DPane::SelectByClick(i3DPaneElement* element, bool doubleClick, uint32_t now) {
  element->RefreshCanvasSubviews();
  if (!element->OnTopCanvas()) {
    host_->ShowConfiguratorForElement(element);
    Invalidate();
  }
  // A group's member stands for its group; the depth bound guards against a cycle of supervisors.
  for (int32_t depth = 0; depth < 64 && element->GroupSupervisor(); ++depth)
    element = element->GroupSupervisor();
  element->StoreClickTime(now);
  if (!IsShiftKeyDown()) {
    // A plain press on an unselected element makes it the only selected one, as in the plan: the
    // move that follows carries the pressed element, not units selected before. Shift still adds.
    if (!element->IsSelected()) {
      NothingHit();
      element->DeselectOthers();
    }
    element->Select();
  } else if (element->IsSelected()) {
    element->Deselect();
  } else {
    element->Select();
  }
  if (!doubleClick) element->ScheduleCanvasUpdate();
}

void qx3DPane::AimAt(i3DPaneElement& element, bool level) {
  qxCamera& camera = *qxCameraRecords::Current();
  camera.pitch = level ? 0.0f : kAimPitch;
  camera.yaw = float(-element.AbsoluteAngle() * 180.0 / M_PI);
  const ppBounds3 box =
      ppBounds3::Transformed(element.AbsolutePlacement(), element.GetBounds(0x240, kAimMargin));
  qx3DNavigation::FitCurrent(*this, box);
  handledByKey_ = true;
  redrawAll_ = true;
  host_->EndToolMode();
  Invalidate();
}
