#include "canvas/editor/zelvproEditorScroller.h"

#include <algorithm>
#include <cmath>

#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproRuler.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/UserPreferences.h"
#include "foundation/ppVector2.h"
#include "framework/qxOutsideFrameAdorner.h"
#include "platform/ResetList.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/panes/qxEditorViews.h"

namespace {

// The current scroller and its top canvas (the main plan canvas). Not owned. User-interface thread.
zelvproEditorScroller* gScroller = nullptr;
zelvproTopCanvas* gMainCanvas = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("editor scroller: current scroller, main canvas", [] {
      gScroller = nullptr;
      gMainCanvas = nullptr;
    });

constexpr int32_t kUnit = 10;           // pixels per scroll unit
constexpr int32_t kExtent = 1000;       // scroll units
constexpr int32_t kCanvasSize = 10000;  // pixels
constexpr int32_t kOutlineColour = 10;
// The fitted room keeps this far (pixels) from the frame on every side; its corner lies half of it
// inside.
constexpr int32_t kFitInset = 20;
constexpr float kFitMargin = 10.0f;

double PaletteScale() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->GetScale() : zelvproLayerPalette::kStartScale;
}

}  // namespace

zelvproEditorScroller::zelvproEditorScroller(ppView* supervisor, const plat::RECT& frame,
                                             zelvproRuler* horizontal, zelvproRuler* vertical,
                                             zelvDatabase* database)
    : ppScroller(supervisor, frame, kStretch, kStretch, kUnit, kUnit, kExtent, kExtent),
      horizontalRuler_(horizontal),
      verticalRuler_(vertical) {
  Subscribe(kInfoChannel, kInfoMessage);
  if (horizontalRuler_ != nullptr) {
    horizontalRuler_->SetRange(kExtent, 0);
    horizontalRuler_->SetSteps(kUnit, 1);
  }
  if (verticalRuler_ != nullptr) {
    verticalRuler_->SetRange(0, kExtent);
    verticalRuler_->SetSteps(1, kUnit);
  }
  SetExtent(kExtent, kExtent);
  gScroller = this;
  const plat::RECT canvas{0, 0, kCanvasSize, kCanvasSize};
  newRoom_ = new qxNewRoomCanvas(this, canvas, database);
  top_ = new zelvproTopCanvas(nullptr, canvas, database);
  gMainCanvas = top_;
  plan_ = new zelvproCanvas(nullptr, canvas, database);
  for (zelvproCanvas* c : {static_cast<zelvproCanvas*>(newRoom_), static_cast<zelvproCanvas*>(top_), plan_})
    c->SetScrollView(this);
  SetKeyTarget(top_);
  SetKeyTarget(newRoom_);
  SetCurrentView(newRoom_);
  newRoom_->DoCommand(qxEditorViews::kViewModeCommand, -1);
  if (!iApplicationSettings::Current().roomDesign) SetViewMode(qxEditorViews::kTwoPlansLinked);
  new qxOutsideFrameAdorner(this, kOutlineColour);
}

zelvproEditorScroller::~zelvproEditorScroller() {
  if (gMainCanvas == top_) gMainCanvas = nullptr;
  if (gScroller == this) gScroller = nullptr;
  SetTarget(nullptr);
  target_ = nullptr;
  // The window must not keep passing keys to a canvas that goes.
  if (ppView* root = GetRootView(); root != nullptr && root != this) {
    ppEventHandler* keys = root->GetTarget();
    if (keys == newRoom_ || keys == top_ || keys == plan_) root->SetTarget(nullptr);
  }
  // A canvas shown now is a subview: its destructor takes it out of the list.
  delete newRoom_;
  delete top_;
  delete plan_;
}

zelvproEditorScroller* zelvproEditorScroller::Current() { return gScroller; }
zelvproTopCanvas* zelvproEditorScroller::MainCanvas() { return gMainCanvas; }

// ---- Input.

bool zelvproEditorScroller::MouseOver(int32_t x, int32_t y, int32_t flags) {
  switch (viewMode_) {
    case qxEditorViews::kTwoPlans:
    case qxEditorViews::kTwoPlansLinked:
      return top_->MouseOver(x, y, flags);
    case qxEditorViews::kOnePlan:
      return newRoom_->MouseOver(x, y, flags);
    case kExtraViewMode:
      return extraView_ != nullptr && extraView_->MouseOver(x, y, flags);
    default:
      return false;
  }
}

void zelvproEditorScroller::KeyDown(signed char key, int32_t flags) {
  const signed char passed = key == kBackspace ? static_cast<signed char>(kDelete) : key;
  ppScroller::KeyDown(passed, flags);
}

void zelvproEditorScroller::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kReloadCalculation:
      LoadDisplaySettings();
      iCalculationUpdate::Current().UpdateCalculation(false);
      return;
    case kUnitsChanged:
      if (horizontalRuler_ != nullptr) horizontalRuler_->DoCommand(command, parameter);
      if (verticalRuler_ != nullptr) verticalRuler_->DoCommand(command, parameter);
      return;
    default:
      break;
  }
  // 401 and 402 scroll; anything else goes up to the editor's supervisor. The window above passes
  // what nobody answered to its key target, a canvas below this scroller: a command that comes round
  // again while it is passed up has found nobody and ends here.
  if (std::find(passing_.begin(), passing_.end(), command) != passing_.end()) return;
  passing_.push_back(command);
  ppScroller::DoCommand(command, parameter);
  passing_.pop_back();
}

void zelvproEditorScroller::MouseMove(int32_t x, int32_t y) {
  plat::RECT f{};
  GetWindowFrame(&f);
  const bool inside = x >= f.left && x < f.right && y >= f.top && y < f.bottom;
  for (zelvproRuler* ruler : {horizontalRuler_, verticalRuler_}) {
    if (ruler == nullptr) continue;
    if (inside) {
      ruler->MoveMarker(x, y);
    } else {
      ruler->EraseMarker();
    }
  }
  ppScroller::MouseMove(x, y);
}

bool zelvproEditorScroller::MouseDown(int32_t x, int32_t y) {
  plat::RECT f{};
  GetWindowFrame(&f);
  if (x < f.left || x >= f.right || y < f.top || y >= f.bottom) return false;
  if (ppScroller::MouseDown(x, y)) return true;
  return IsDoubleClick(x, y);
}

void zelvproEditorScroller::ScrollBy(int32_t dx, int32_t dy) {
  const int32_t x = PositionX(), y = PositionY();
  ppScroller::ScrollBy(dx, dy);
  // The plan stops at its extent; the rulers move only as far as it did.
  const int32_t movedX = PositionX() - x, movedY = PositionY() - y;
  if (movedX != 0 && horizontalRuler_ != nullptr) horizontalRuler_->ScrollBy(movedX, 0);
  if (movedY != 0 && verticalRuler_ != nullptr) verticalRuler_->ScrollBy(0, movedY);
}

void zelvproEditorScroller::ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t) {
  if (channel != kInfoChannel || id != kInfoMessage) return;
  // Beside the price list and the 3D view the side panel is that view's own default, shown just
  // before a loaded document is announced; the plan's panel belongs only beside a plan.
  if (viewMode_ == kPriceListMode || viewMode_ == k3DMode) return;
  if (auto* element = dynamic_cast<zelvproElement*>(target_)) element->BuildInfoPanel(nullptr);
}

// ---- View modes.

void zelvproEditorScroller::SetViewMode(int32_t mode) {
  if (mode == viewMode_) return;
  if (mode == kExtraViewMode || mode == kPlanPrintMode) {
    // Neither mode changes the subviews; the id is kept so that mouse-over and printing follow it.
    viewMode_ = mode;
    Invalidate();
    return;
  }
  // Leaving 2032 or 2056: the subviews shown are those of the mode before it.
  if (viewMode_ == kExtraViewMode || viewMode_ == kPlanPrintMode) {
    viewMode_ = subviewMode_;
    if (mode == viewMode_) return Invalidate();
  }
  qxEditorViews::SetViewMode(*this, mode);
}

void zelvproEditorScroller::SetCurrentMode(int32_t mode) {
  viewMode_ = mode;
  subviewMode_ = mode;
}

bool zelvproEditorScroller::PlanOption() {
  return (iApplicationSettings::Current().flags2 & kPlanOptionFlag) != 0;
}

ppView* zelvproEditorScroller::View(int32_t number) {
  switch (number) {
    case 1:
      return newRoom_;
    case 2:
      return top_;
    case 3:
      return plan_;
    default:
      return nullptr;
  }
}

void zelvproEditorScroller::DetachView(ppView* view) {
  if (view != nullptr && view->GetSupervisor() == this) view->DetachFromSupervisor();
}

void zelvproEditorScroller::InsertView(ppView* view) {
  if (view != nullptr) AddSubview(view);
}

void zelvproEditorScroller::SetKeyTarget(ppView* view) {
  if (view == nullptr) return;
  // A view that is its own root (a canvas not shown yet) would pass keys on to itself for ever.
  ppView* root = view->GetRootView();
  if (root != nullptr && root != view) root->SetTarget(view);
}

void zelvproEditorScroller::SetCurrentView(ppView* view) {
  target_ = view;
  SetTarget(view);
}

void zelvproEditorScroller::BroadcastRulers(ppView* view, int32_t flag) {
  if (auto* canvas = dynamic_cast<zelvproCanvas*>(view)) canvas->DeselectAll(flag != 0);
}

// ---- Fitting the room.

float zelvproEditorScroller::ComputeFitScale(plat::POINT* position) {
  const float current = float(PaletteScale());
  *position = plat::POINT{PositionX(), PositionY()};
  plat::RECT f{};
  GetWindowFrame(&f);
  const int32_t width = f.right - f.left - 2 * kFitInset;
  const int32_t height = f.bottom - f.top - 2 * kFitInset;
  if (width <= 0 || height <= 0) return current;
  ppVector2 corners[4];
  newRoom_->ComputeBounds(corners);
  const ppVector2 low = corners[0], high = corners[2];
  float s = std::max((high.y - low.y) / float(height), (high.x - low.x) / float(width));
  if (!(s >= 1.0f)) s = 1.0f;
  position->x = int32_t(low.x / s - kFitMargin) / StepX();
  position->y = int32_t(low.y / s - kFitMargin) / StepY();
  return s;
}

void zelvproEditorScroller::ZoomToFit() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  if (palette == nullptr) return;
  // The editor rescales the scroll position from its last zoom: the second pass starts from the
  // fitted zoom and so keeps the fitted position.
  for (int32_t pass = 0; pass < 2; ++pass) {
    plat::POINT at{};
    const float s = ComputeFitScale(&at);
    palette->SetScale(s);
    ScrollTo(at.x, at.y);
    if (GetSupervisor() != nullptr) GetSupervisor()->Invalidate();
    if (zelvproEditor* editor = zelvproEditor::Current()) editor->ApplyZoom();
  }
}
