#include "elements/base/zelvproCanvas.h"

#include <algorithm>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPressPass.h"
#include "elements/base/RotationStep.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iScenePane.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvasUpdateSweeper.h"
#include "elements/topview/iConfigurator.h"
#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "framework/ppTask.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

namespace {

// Set while a deferred canvas update is posted and has not run: at most one is pending in the
// program. User-interface thread only.
bool gUpdateScheduled = false;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("canvas update flag", [] { gUpdateScheduled = false; });

// A press this far under the floor (millimetres) is always a collision.
constexpr float kLowestHeight = -0.1f;

void RefreshViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

bool IsViewBarCommand(int32_t command) {
  // 3004 and 3007 are no view bar commands; they go up as every other command.
  return command >= zelvproCanvas::kFirstViewCommand && command <= zelvproCanvas::kLastViewCommand &&
         command != 3004 && command != 3007;
}

// Invalidates every selected element of `element`'s tree: a door selected in its unselected wall as
// much as a unit on the plan. A selected element's own invalidation covers its parts.
void InvalidateSelected(zelvproElement& element) {
  if (element.IsSelected()) return element.Invalidate();
  ForEachChildElement(element, [](zelvproElement* child) { InvalidateSelected(*child); });
}

}  // namespace

zelvproCanvas::zelvproCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database)
    : zelvproElement(0, parent, frame, database, 0, 0) {
  selected = 0;
  Vcon_HandleManager::MemNew(&copyBlock_, 0);
  gUpdateScheduled = false;
}

// The history goes before the elements its tasks name (the element part is destroyed last).
zelvproCanvas::~zelvproCanvas() {
  for (zelvproCanvasUpdateSweeper* sweeper : pendingUpdates_) sweeper->Forget();
  pendingUpdates_.clear();
  Clear();
  copyModules_.reset();
  MemDispose(copyBlock_);
}

ppDatafile* zelvproCanvas::CopyModules() {
  // Made on first use: a canvas gets its database after construction in some windows.
  if (copyModules_ == nullptr && database != nullptr && copyBlock_ != nullptr)
    copyModules_ = std::make_unique<zelvproDocModuleFil>(*database, copyBlock_);
  return copyModules_.get();
}

// ---- Commands and the menu.

void zelvproCanvas::DoCommand(int32_t command, intptr_t parameter) {
  iElementHost& host = iElementHost::Current();
  switch (command) {
    case kUndo:
      Undo();
      ScheduleUpdate();
      return;
    case kRedo:
      Redo();
      ScheduleUpdate();
      return;
    case kCut:
      return Cut();
    case kCopy:
      return SaveSelection();
    case kPaste:
      return LoadDocumentModules(1);
    case kDelete: {
      qxViewHolder* selection = CollectSelection(nullptr, true);
      if (selection == nullptr) return;
      host.ShowDefaultConfigurator();
      ppTask* task = iElementTaskFactory::Current().NewDeleteTask(this, selection);
      delete selection;
      if (task != nullptr) {
        Post(task);
        task->Do();
      }
      if (iScenePane* pane = host.ScenePane()) pane->SetSceneOutOfDate();
      RefreshViews();
      return;
    }
    case kSelectAll:
      SelectAll();
      RefreshViews();
      return;
    case kDeselectAll:
      DeselectAll(true);
      RefreshViews();
      return;
    case kPostTask:
      if (parameter != 0) Post(reinterpret_cast<ppTask*>(parameter));
      return;
    case kRoomDesignView:
      if (iApplicationSettings::Current().roomDesign) host.PassToViewBar(command, 0);
      return;
    case kIgnored:
      return;
    case kTurnClockwise:
    case kTurnCounterclockwise: {
      // An angle that grows turns a unit clockwise on the plan, whose z runs down the screen, and in
      // the 3D view seen from above.
      const float turn = command == kTurnClockwise ? RotationStep() : -RotationStep();
      ppTask* task = iElementTaskFactory::Current().NewRotateTask2(this, this, turn, 0.0f, 0.0f);
      if (task == nullptr) return;
      Post(task);
      task->Do();
      return;
    }
    default:
      if (IsViewBarCommand(command)) return host.PassToViewBar(command, 0);
      return zelvproElement::DoCommand(command, parameter);
  }
}

void zelvproCanvas::UpdateTargetMenus() {
  iElementHost& host = iElementHost::Current();
  ppDatafile* copy = host.CopyDatafile(this);
  host.EnableMenuItem(kPaste, copy != nullptr && copy->GetRecordCount() > 0);
  qxViewHolder* selection = CollectSelection(nullptr, false);
  const bool anySelected = selection != nullptr;
  delete selection;
  for (int32_t command : {kCut, kDelete, kCopy}) host.EnableMenuItem(command, anySelected);
  // Every element of the tree but the canvas itself.
  auto self = std::make_unique<qxViewHolder>(this, nullptr, true);
  qxViewHolder* all = CollectTree(nullptr, self.get());
  host.EnableMenuItem(kSelectAll, all != nullptr);
  delete all;
  host.EnableMenuItem(kUndo, DoneTop() != nullptr);
  host.EnableMenuItem(kRedo, RedoTop() != nullptr);
}

void zelvproCanvas::Cut() {
  SaveSelection();
  DoCommand(kDelete, 0);
}

// Both redraw the views once for the whole plan (the callers do), not once per child: each redraw
// walks the plan, which made selecting a large plan quadratic.
void zelvproCanvas::SelectAll() {
  ForEachChildElement(*this, [](zelvproElement* child) { child->Select(false); });
}

void zelvproCanvas::DeselectAll(bool refresh) {
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (refresh) InvalidateSelected(*child);
    child->Deselect(false);
  });
}

// ---- Presses and hit tests.

bool zelvproCanvas::MouseDown(int32_t x, int32_t y) {
  // The press may select another element, whose panel replaces the one the user was typing in: the
  // shown element takes the typed text first.
  iConfigurator::Current().CommitInput();
  SetFirstPressPass(true);
  bool taken = ppView::MouseDown(x, y);
  SetFirstPressPass(false);
  if (!taken) taken = ppView::MouseDown(x, y);
  if (taken) {
    // Away and back, so that the keyboard reaches the canvas after the press.
    if (plat::HWND window = GetHWND()) {
      plat::GetFocus();
      plat::SetFocus(nullptr);
      plat::SetFocus(window);
      plat::GetFocus();
    }
  }
  return taken;
}

bool zelvproCanvas::IsDoubleClick(int32_t x, int32_t y) {
  if (FirstPressPass()) return false;
  DoCommand(kDeselectAll, 0);
  if (auto* band = dynamic_cast<ppMouseTask*>(CreatePointerTask(this))) band->Start(x, y);
  iElementHost::Current().ShowDefaultConfigurator();
  return true;
}

ppTask* zelvproCanvas::CreatePointerTask(ppView* /*view*/) {
  return iElementTaskFactory::Current().NewPointerTask(this, this);
}

bool zelvproCanvas::ContainsPoint(int32_t x, int32_t y) {
  std::unique_ptr<ppRegion> frame = GetFrameRegion();
  if (iElementHost::Current().CurrentViewId() == iElementHost::k3DView) return frame->Contains(x, y);
  plat::RECT b{};
  frame->GetBounds(&b);
  return x >= b.left - kPressMargin && x < b.right + kPressMargin && y >= b.top - kPressMargin &&
         y < b.bottom + kPressMargin;
}

std::unique_ptr<ppRegion> zelvproCanvas::GetFrameRegion() {
  plat::RECT frame{};
  GetWindowFrame(&frame);
  return std::make_unique<ppRegion>(frame);
}

std::unique_ptr<ppRegion> zelvproCanvas::NewFrameRegion() {
  auto region = std::make_unique<ppRegion>();
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (!child->IsSelected()) return;
    if (std::unique_ptr<ppRegion> part = child->NewFrameRegion()) region->Union(*part);
  });
  return region;
}

void zelvproCanvas::DrawOutlineAt(int32_t x, int32_t y, float /*angle*/, float /*pivotX*/, float /*pivotY*/,
                                  ppDC& dc) {
  const int32_t mode = dc.GetDrawingMode();
  dc.SetGray(0);
  std::unique_ptr<ppRegion> region = NewFrameRegion();
  plat::RECT bounds{};
  region->GetBounds(&bounds);
  region->Offset(x - bounds.left, y - bounds.top);
  dc.SetXorMode();
  dc.FrameRegion(*region);
  dc.SetNormalPen();
  dc.SetDrawingMode(mode);
}

// ---- The element part of a root.

void zelvproCanvas::UpdateFrame() {
  ForEachChildElement(*this, [](zelvproElement* child) { child->UpdateFrame(); });
}

// Only the canvas the editor works on refreshes the panel: the Colors view shows the room canvas
// under the top canvas, and the room's panel would edit a history that Undo there does not reach.
void zelvproCanvas::UpdateTexts() {
  if (IsEditorsCurrentCanvas()) ScheduleUpdate();
}

bool zelvproCanvas::IsEditorsCurrentCanvas() {
  ppView* scroller = GetScrollView();
  return scroller != nullptr && scroller->GetTarget() == this;
}

void zelvproCanvas::BuildInfoPanel(qxViewHolder* /*source*/) {
  qxViewHolder* selection = CollectSelection(nullptr, false);
  if (selection != nullptr) return selection->Activate();
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  configurator.PlaceTabs();
  Invalidate();
}

bool zelvproCanvas::Collides(zelvproElement* element) {
  ppVector3 p;
  element->GetAbsolutePosition(p);
  if (p.y < kLowestHeight) return true;
  const float a = element->GetNormalizedAngle();
  bool hit = false;
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (hit || child == element) return;
    ppVector3 q;
    child->GetAbsolutePosition(q);
    hit = q.x == p.x && q.y == p.y && q.z == p.z && child->GetNormalizedAngle() == a;
  });
  return hit;
}

// ---- The deferred update.

void zelvproCanvas::RequestUpdate(bool configuratorFocus) {
  if (gUpdateScheduled) return;
  plat::HWND window = GetHWND();
  if (window == nullptr) window = iElementHost::Current().DocumentWindow();
  if (window == nullptr) return;
  pendingUpdates_.push_back(new zelvproCanvasUpdateSweeper(window, this, configuratorFocus));
  gUpdateScheduled = true;
}

bool zelvproCanvas::UpdateScheduled() { return gUpdateScheduled; }

void zelvproCanvas::ClearCanvasGlobal() { gUpdateScheduled = false; }

void zelvproCanvas::UpdateSwept(const zelvproCanvasUpdateSweeper* sweeper) {
  pendingUpdates_.erase(std::remove(pendingUpdates_.begin(), pendingUpdates_.end(), sweeper),
                        pendingUpdates_.end());
}

bool zelvproCanvas::IsShownByCurrentView() {
  iElementHost& host = iElementHost::Current();
  const int32_t view = host.CurrentViewId();
  if (view == iElementHost::kItemListView) return false;
  if (view == iElementHost::k3DView) return host.TopCanvas() == nullptr || host.TopCanvas() == this;
  return true;
}

void zelvproCanvas::RunScheduledUpdate(bool configuratorFocus) {
  // A loaded plan selects its floor before, or while, the view it was saved in comes up: that
  // view's own panel stays.
  if (!IsShownByCurrentView()) return;
  qxViewHolder* holder = CollectSelection(nullptr, false);
  if (holder == nullptr) holder = new qxViewHolder(this, nullptr, false);
  holder->Activate();
  if (configuratorFocus) return iConfigurator::Current().PressAtOrigin();
  iElementHost& host = iElementHost::Current();
  plat::HWND target = host.CurrentViewId() == iElementHost::k3DView ? host.ScenePaneWindow() : GetHWND();
  if (target != nullptr) plat::SetFocus(target);
}

// ---- The plan as a whole.

qxViewHolder* zelvproCanvas::BuildHolderChain(qxViewHolder* head) {
  const ppViewList& children = Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i)))
      head = new qxViewHolder(child, head, false);
  }
  return head;
}

void zelvproCanvas::DeleteAllElements() {
  // The history first: its tasks keep elements taken out of the plan and name the children.
  Clear();
  if (qxViewHolder* chain = BuildHolderChain(nullptr)) {
    ElementList all;
    for (qxViewHolder* h = chain; h != nullptr; h = h->Next()) all.push_back(h->Element());
    ReleaseOutsideSnaps(all);
    delete chain;
  }
  while (Subviews().Count() > 0) {
    ppView* last = Subviews().At(Subviews().Count() - 1);
    last->DetachFromSupervisor();
    delete last;
  }
  Invalidate();
  Clear();
}
