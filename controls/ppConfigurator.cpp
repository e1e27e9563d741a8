#include "controls/ppConfigurator.h"

#include <algorithm>

#include "controls/ControlsDrawing.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppInputField.h"
#include "framework/DrawFrameEdge.h"
#include "framework/iElementServices.h"
#include "framework/ppApplication.h"
#include "framework/ppCursorTable.h"
#include "framework/ppDC.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppRegion.h"

namespace {
constexpr int32_t kTabRowLeft = 3;
constexpr int32_t kTabRowTop = 5;
// Application colours (bytes) and frame picture of the configurator's background.
constexpr int32_t kBackground = 1008, kTabStrip = 1013;
constexpr int32_t kEdgePicture = 1102;
}  // namespace

ppConfigurator::ppConfigurator(ppView* parent, const plat::RECT& frame, ppSwitchBoard* board, bool singlePage)
    : ppField(parent, nullptr, board), singlePage_(singlePage) {
  // Unlike the fields it holds, a configurator fills its container and follows it both ways.
  SetBinding(kStretch, kStretch);
  SetFrame(frame);
}

ppConfigurator::~ppConfigurator() {
  RemoveAll();
  // Panels retired while they ran and not yet deleted go with the configurator they belong to.
  for (ppView* view : retired_) {
    if (ppPendingDeletions::Take(view)) delete view;
  }
}

void ppConfigurator::SetDefaultCursor() { ppCursorTable::SetGlobalDefault(); }

void ppConfigurator::AddPanel(ppConfigPanel* panel) {
  if (panel == nullptr) return;
  tabs_.push_back(new ppConfigTab(this, panel, singlePage_));
}

void ppConfigurator::PlaceTabs() {
  plat::POINT position{kTabRowLeft, kTabRowTop};
  for (ppConfigTab* tab : tabs_) tab->Place(&position);
  if (current_ == nullptr && !tabs_.empty()) Select(tabs_.front());
}

void ppConfigurator::Select(ppConfigTab* tab) {
  if (tab == nullptr) return;
  for (ppConfigTab* other : tabs_) {
    if (!other->IsSelected()) continue;
    if (ppConfigPanel* panel = other->Panel()) {
      panel->Invalidate();
      panel->Hide();
      panel->DetachFromSupervisor();
    }
    other->Invalidate();
  }
  for (ppConfigTab* other : tabs_) other->SetSelected(false);

  tab->SetSelected(true);
  ppConfigPanel* panel = tab->Panel();
  if (panel != nullptr) {
    AddSubview(panel);
    panel->Show();
  }
  tab->Invalidate();
  // The panel fills the configurator below the tab row (from the top when the tab is hidden).
  if (panel != nullptr) panel->SetFrame({0, tab->GetFrame().bottom, Width(), Height()});
  current_ = panel;
  // The selected tab draws over its neighbours.
  tab->DetachFromSupervisor();
  AddSubview(tab);
  RequestLayout();
  if (panel != nullptr) panel->Show();
  Invalidate();
}

ppConfigTab* ppConfigurator::GetSelectedTab() const {
  for (ppConfigTab* tab : tabs_) {
    if (tab->IsSelected()) return tab;
  }
  return nullptr;
}

void ppConfigurator::Retire(ppView* view, bool busy) {
  if (!busy) {
    delete view;
    return;
  }
  view->Hide();
  view->DetachFromSupervisor();
  ppPendingDeletions::Add(view);
  retired_.push_back(view);
}

void ppConfigurator::RemoveAll() {
  std::vector<ppConfigTab*> tabs;
  tabs.swap(tabs_);
  current_ = nullptr;
  for (ppConfigTab* tab : tabs) {
    if (ppConfigPanel* panel = tab->Panel()) {
      tab->ForgetPanel();
      Retire(panel, panel->IsBusy());
    }
    Retire(tab, tab->IsBusy());
  }
  // Deleting an owned object may hand over another: take the list before deleting.
  while (!owned_.empty()) {
    std::vector<std::unique_ptr<void, void (*)(void*)>> doomed;
    doomed.swap(owned_);
    doomed.clear();
  }
  // Forget what the pending deletions have deleted meanwhile.
  std::erase_if(retired_, [](ppView* view) { return !ppPendingDeletions::Holds(view); });
}

bool ppConfigurator::CommitFocusedInput() {
  if (current_ == nullptr) return true;
  auto* field = dynamic_cast<ppInputField*>(current_->GetFocusedField());
  if (field == nullptr) return true;
  // A write that rebuilds the panels retires the field's panel rather than deleting it under us.
  BusyScope busy(field);
  return field->CommitInput();
}

bool ppConfigurator::CommitHostInput() {
  ppConfigurator* host = Host();
  return host == nullptr || host->CommitFocusedInput();
}

// ---- Field operations.

void ppConfigurator::RequestLayout() {
  if (current_ != nullptr) current_->Layout();
}

std::string ppConfigurator::GetFocusedName() {
  if (current_ == nullptr) return {};
  const std::string caption = current_->Caption().Narrow();
  if (!caption.empty() && !singlePage_) return current_->GetFocusedName() + ":" + caption;
  return current_->GetFocusedName();
}

bool ppConfigurator::SearchFields(const std::string& name) { return ppField::FocusByName(name); }

bool ppConfigurator::FocusByName(const std::string& name) {
  if (name.empty()) return false;
  if (singlePage_) return SearchFields(name);
  // Select() reorders the subviews but not the tab list; copy it all the same, a focus call may
  // rebuild.
  const std::vector<ppConfigTab*> tabs = tabs_;
  for (ppConfigTab* tab : tabs) {
    Select(tab);
    if (SearchFields(name)) return true;
  }
  const size_t colon = name.find(':');
  if (colon != std::string::npos) {
    const std::string caption = name.substr(colon + 1);
    for (ppConfigTab* tab : tabs) {
      Select(tab);
      if (tab->Panel() != nullptr && tab->Panel()->Caption().Narrow() == caption) return true;
    }
  }
  if (!tabs_.empty()) Select(tabs_.front());
  return false;
}

// ---- View operations.

void ppConfigurator::DoCommand(int32_t command, intptr_t parameter) {
  if (command != ppConfigTab::kSelectCommand) return ppField::DoCommand(command, parameter);
  BusyScope busy(this);
  auto* tab = reinterpret_cast<ppConfigTab*>(parameter);
  if (std::find(tabs_.begin(), tabs_.end(), tab) == tabs_.end()) return;
  Select(tab);
  if (ppConfigPanel* panel = tab->Panel()) panel->FocusFirst();
}

void ppConfigurator::KeyDown(signed char key, int32_t flags) {
  BusyScope busy(this);
  if (current_ != nullptr) current_->KeyDown(key, flags);
}

bool ppConfigurator::IsDoubleClick(int32_t, int32_t) {
  if (current_ != nullptr) current_->FocusFirst();
  return true;
}

void ppConfigurator::DrawContent(ppDC& dc) {
  ppConfigTab* selected = GetSelectedTab();
  if (singlePage_ || selected == nullptr) return;
  plat::RECT frame;
  GetWindowFrame(&frame);
  dc.SetColorBytes(controls::ApplicationColor(kBackground));
  dc.FillRect(frame);
  dc.SetColorBytes(controls::ApplicationColor(kTabStrip));
  dc.FillRect({frame.left, frame.top, frame.right, frame.top + kTabStripHeight});
  // The base line of the tab row, open under the selected tab.
  plat::RECT tab;
  selected->GetWindowFrame(&tab);
  ppPicture* edge = gApplication != nullptr ? gApplication->GetFramePicture(kEdgePicture) : nullptr;
  const int32_t y = tab.bottom + 2;
  DrawFrameEdge(edge, frame.left, y, tab.left + 2, y, &dc);
  DrawFrameEdge(edge, tab.right - 6 + (tab.bottom - tab.top), y, frame.right - 1, y, &dc);
}

std::unique_ptr<ppRegion> ppConfigurator::GetOpaqueRegion(const ppDC& dc) {
  if (!IsShown() || singlePage_ || GetSelectedTab() == nullptr || !dc.FillsOpaquely())
    return ppField::GetOpaqueRegion(dc);
  return GetVisibleRegion();
}

void ppConfigurator::SupervisorResized(int32_t dx, int32_t dy) {
  ppField::SupervisorResized(dx, dy);
  RequestLayout();
}

ppUndoer* ppConfigurator::GetUndoer() {
  if (ppUndoer* above = ppField::GetUndoer()) return above;
  return &undo_;
}

ppConfigurator* ppConfigurator::Host() { return dynamic_cast<ppConfigurator*>(ConfiguratorHost()); }
