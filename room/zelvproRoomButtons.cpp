#include "room/zelvproRoomButtons.h"

#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "platform/ResetList.h"

bool DrawWallsMode = false;
zelvproRoomButtons* RoomButtonsInstance = nullptr;

namespace {

[[maybe_unused]] const bool kReset = plat::ResetList::Add("room buttons", [] {
  DrawWallsMode = false;
  RoomButtonsInstance = nullptr;
});

// The document window's view switches.
constexpr int32_t kPlanView = 2016;
constexpr int32_t kDisablingViews[] = {2004, 2020, 2056};

// The tip texts: text ids in the user's language, with items of the tool-tip word list as fallback.
constexpr int32_t kTipWordList = 2013;
constexpr int32_t kSelectTipItem = 36, kSelectTipText = 1124;
constexpr int32_t kDrawWallsTipItem = 37, kDrawWallsTipText = 1125;

bool IsDisablingView(int32_t command) {
  for (int32_t view : kDisablingViews)
    if (command == view) return true;
  return false;
}

}  // namespace

zelvproRoomButtons::zelvproRoomButtons(ppView* parent, const plat::RECT& frame)
    : ppView(parent, kStay, kMove) {
  RoomButtonsInstance = this;
  SetFrame(frame);
  plat::RECT r{0, 0, kButtonWidth, frame.bottom - frame.top};
  select_ = new ppButton(this, &r, kSelectPicture, kStay, kStay, ppButton::kPush);
  r.left += kButtonStep;
  r.right += kButtonStep;
  drawWalls_ = new ppButton(this, &r, kDrawWallsPicture, kStay, kStay, ppButton::kPush);
  select_->SetState(ppButton::kHighlighted);
  AddToolTips(0);
}

// The published pointer is cleared and the tips go with the strip, so that neither outlives it.
zelvproRoomButtons::~zelvproRoomButtons() {
  RemoveToolTips();
  if (RoomButtonsInstance == this) RoomButtonsInstance = nullptr;
}

void zelvproRoomButtons::DoCommand(int32_t command, intptr_t parameter) {
  if (IsDisablingView(command)) {
    ShowButtons(ppButton::kDisabled, ppButton::kDisabled);
  } else if (command == kPlanView) {
    DrawWallsMode = false;
    ShowButtons(ppButton::kHighlighted, ppButton::kNormal);
  } else if (command == ppButton::kPressedCommand) {
    if (parameter == reinterpret_cast<intptr_t>(drawWalls_)) {
      DrawWallsMode = true;
      ShowButtons(ppButton::kNormal, ppButton::kHighlighted);
    } else if (parameter == reinterpret_cast<intptr_t>(select_)) {
      DrawWallsMode = false;
      ShowButtons(ppButton::kHighlighted, ppButton::kNormal);
    }
  }
}

void zelvproRoomButtons::ShowButtons(int32_t selectState, int32_t drawWallsState) {
  select_->SetState(selectState);
  drawWalls_->SetState(drawWallsState);
}

void zelvproRoomButtons::AddToolTips(uint32_t /*word*/) {
  AddTip(select_, kSelectTipItem, kSelectTipText);
  AddTip(drawWalls_, kDrawWallsTipItem, kDrawWallsTipText);
}

void zelvproRoomButtons::AddTip(ppButton* button, int32_t listItem, int32_t textId) {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  plat::RECT r;
  button->GetWindowFrame(&r);
  tips->AddToolByTextId(this, button->GetPictureId(), r, kTipWordList, listItem, textId);
}

void zelvproRoomButtons::RemoveToolTips() {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  tips->RemoveTool(this, kSelectPicture);
  tips->RemoveTool(this, kDrawWallsPicture);
}

void zelvproRoomButtons::UpdateTexts() {
  ppView::UpdateTexts();
  RemoveToolTips();
  AddToolTips(0);
}
