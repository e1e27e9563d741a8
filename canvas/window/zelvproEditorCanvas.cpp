#include "canvas/window/zelvproEditorCanvas.h"

#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "canvas/window/zelvproSelectionSweeper.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ToolTipControl.h"
#include "framework/ppApplication.h"
#include "framework/ppButton.h"
#include "platform/ResetList.h"
#include "room/zelvproRoomButtons.h"

namespace {

constexpr int32_t kTipList = 2013;
constexpr int32_t kRoomDesignView = 2016, kItemListView = 2012;
constexpr int32_t kZoomInCommand = 3009, kZoomOutCommand = 3010;

zelvproEditorCanvas* gCurrent = nullptr;  // user-interface thread

[[maybe_unused]] const bool kRegistered = [] {
  plat::ResetList::Add("current editor canvas", [] { gCurrent = nullptr; });
  return true;
}();

bool RoomDesign() { return iApplicationSettings::Current().roomDesign; }

ppButton* MakeButton(ppView* canvas, const plat::RECT& frame, int32_t id) {
  auto* button = new ppButton(canvas, &frame, id, ppView::kMove, ppView::kMove, ppButton::kPush);
  button->SetCommandId(id);
  return button;
}

}  // namespace

zelvproEditorCanvas::zelvproEditorCanvas(ppView* supervisor, const plat::RECT& frame, zelvDatabase* database)
    : ppView(supervisor, kStretch, kStretch) {
  Subscribe(kRoomChannel, kRoomRebuilt);
  SetFrame(frame);
  gCurrent = this;
  const int32_t w = Width(), h = Height();
  editor_ = new zelvproEditor(this, {0, 0, w - 30, h - 30}, database);
  rotatePanel_ = new zelvproRotatePanel(this, {0, h - 26, 110, h - 1});
  if ((iApplicationSettings::Current().flags1 & kNoZoomButtonsFlag) == 0) {
    home_ = MakeButton(this, {w - 26, h - 26, w - 2, h - 2}, kHomeButton);
    zoomIn_ = MakeButton(this, {w - 71, h - 26, w - 47, h - 2}, kZoomInButton);
    zoomOut_ = MakeButton(this, {w - 101, h - 26, w - 77, h - 2}, kZoomOutButton);
  }
  if (RoomDesign()) roomButtons_ = new zelvproRoomButtons(this, {110, h - 26, 224, h - 2});
  // The panel starts in the state of the selection as it stands.
  DoCommand(kSelectionChanged, 0);
}

zelvproEditorCanvas::~zelvproEditorCanvas() {
  if (sweeper_ != nullptr) sweeper_->Forget();
  // The tips name this canvas and its buttons: none may outlive them.
  RemoveToolTips();
  if (roomButtons_ != nullptr) roomButtons_->RemoveToolTips();
  if (gCurrent == this) gCurrent = nullptr;
}

zelvproEditorCanvas* zelvproEditorCanvas::Current() { return gCurrent; }

void zelvproEditorCanvas::DoCommand(int32_t command, intptr_t parameter) {
  // The editor sends what it does not answer up to this canvas: handled below, once.
  if (inEditor_) return;
  inEditor_ = true;
  editor_->DoCommand(command, parameter);
  inEditor_ = false;
  switch (command) {
    case 2004:
    case 2020:
    case 2056:
      if (roomButtons_ != nullptr) {
        ShowRoomButtons(false);
        roomButtons_->RemoveToolTips();
        roomButtons_->DoCommand(command, 0);
      }
      break;
    case kItemListView:
      Invalidate();
      break;
    case kRoomDesignView:
      if (roomButtons_ != nullptr) {
        ShowRoomButtons(true);
        roomButtons_->AddToolTips(0);
        roomButtons_->DoCommand(command, 0);
      }
      break;
    case kSelectionChanged:
      if (rotatePanel_ != nullptr) ScheduleSelectionCheck();
      break;
    case ppButton::kPressedCommand:
      PressButton(reinterpret_cast<ppButton*>(parameter), parameter);
      break;
    default:
      break;
  }
}

void zelvproEditorCanvas::PressButton(ppButton* button, intptr_t parameter) {
  if (button == nullptr) return;
  const int32_t id = button->GetCommandId();
  if (id == zelvproRotatePanel::kClockwiseButton || id == zelvproRotatePanel::kCounterclockwiseButton) {
    button->SetState(ppButton::kNormal);
    const int32_t turn =
        id == zelvproRotatePanel::kCounterclockwiseButton ? kTurnCounterclockwise : kTurnClockwise;
    if (gApplication != nullptr) gApplication->DoCommand(turn, 0);
    return;
  }
  if (button != home_ && button != zoomIn_ && button != zoomOut_) return;
  button->SetState(ppButton::kNormal);
  if (button == home_) return GoHome();
  zelvproLayerPalette* bar = iElementHost::Current().LayerPalette();
  if (bar != nullptr) bar->PassViewCommand(button == zoomIn_ ? kZoomInCommand : kZoomOutCommand, parameter);
}

void zelvproEditorCanvas::GoHome() {
  if (home_ != nullptr) home_->SetState(ppButton::kNormal);
  if (zelvproEditorScroller* scroller = editor_->EditorScroller()) scroller->ZoomToFit();
  editor_->Invalidate();
}

void zelvproEditorCanvas::ReceiveMessage(ppCollaborator* /*sender*/, int32_t channel, int32_t id,
                                         intptr_t /*parameter*/) {
  if (channel == kRoomChannel && id == kRoomRebuilt) GoHome();
}

void zelvproEditorCanvas::ShowRoomButtons(bool shown) {
  roomButtonsShown_ = shown;
  if (!IsShown()) return;
  if (shown)
    roomButtons_->Show();
  else
    roomButtons_->Hide();
}

void zelvproEditorCanvas::ScheduleSelectionCheck() {
  if (sweeper_ != nullptr) return;
  plat::HWND window = GetHWND();
  if (window == nullptr) window = iElementHost::Current().DocumentWindow();
  // Without a window to post to (a canvas not yet placed) the state is brought up to date at once.
  if (window == nullptr) return UpdateRotatePanel();
  sweeper_ = new zelvproSelectionSweeper(window, this);
}

void zelvproEditorCanvas::SweeperGone(zelvproSelectionSweeper* sweeper) {
  if (sweeper_ == sweeper) sweeper_ = nullptr;
}

void zelvproEditorCanvas::UpdateRotatePanel() {
  if (rotatePanel_ == nullptr) return;
  ++selectionWalks_;
  zelvproEditorScroller* scroller = editor_->EditorScroller();
  zelvproTopCanvas* top = scroller != nullptr ? scroller->TopCanvas() : nullptr;
  rotatePanel_->FollowSelection(top);
}

void zelvproEditorCanvas::SupervisorResized(int32_t dx, int32_t dy) {
  RemoveToolTips();
  if (roomButtons_ != nullptr) roomButtons_->RemoveToolTips();
  ppView::SupervisorResized(dx, dy);
  editor_->Layout();
  AddToolTips(0);
  if (roomButtons_ != nullptr && roomButtonsShown_) roomButtons_->AddToolTips(0);
}

void zelvproEditorCanvas::Show() {
  if (IsShown()) return;
  SetShownFlag(true);
  Invalidate();
  editor_->Show();
  rotatePanel_->Show();
  for (ppButton* button : {home_, zoomIn_, zoomOut_})
    if (button != nullptr) button->Show();
  if (roomButtons_ != nullptr && roomButtonsShown_) roomButtons_->Show();
  rotatePanel_->SupervisorResized(0, 0);
  AddToolTips(0);
  if (roomButtons_ != nullptr && iElementHost::Current().CurrentViewId() == kRoomDesignView)
    roomButtons_->AddToolTips(0);
}

void zelvproEditorCanvas::Hide() {
  ppView::Hide();
  if (roomButtons_ != nullptr) roomButtons_->RemoveToolTips();
}

void zelvproEditorCanvas::UpdateTexts() {
  ppView::UpdateTexts();
  RemoveToolTips();
  AddToolTips(0);
}

void zelvproEditorCanvas::AddToolTips(uint32_t /*word*/) {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips != nullptr && !ZoomButtonsHidden()) {
    const struct {
      ppButton* button;
      int32_t id, entry, text;
    } rows[] = {{home_, kHomeButton, kHomeTipEntry, kHomeTipText},
                {zoomIn_, kZoomInButton, kZoomInTipEntry, kZoomInTipText},
                {zoomOut_, kZoomOutButton, kZoomOutTipEntry, kZoomOutTipText}};
    for (const auto& row : rows) {
      plat::RECT r;
      row.button->GetWindowFrame(&r);
      tips->AddToolByTextId(this, row.id, r, kTipList, row.entry, row.text);
    }
  }
  rotatePanel_->AddToolTips(0);
}

void zelvproEditorCanvas::RemoveToolTips() {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips != nullptr && !ZoomButtonsHidden())
    for (int32_t id : {kHomeButton, kZoomInButton, kZoomOutButton}) tips->RemoveTool(this, id);
  rotatePanel_->RemoveToolTips();
}
