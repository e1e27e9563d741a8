// The strip of two picture buttons shown with the room editor: "Select" (walls and the floor take
// presses as usual) and "Draw Walls" (presses go past the walls and the floor to the new-room
// canvas). The strip only sets the room editing mode `DrawWallsMode` and shows which mode is on;
// the segments and floors read the mode themselves. The document window's view switches reach it as
// commands: view 2016 enables the buttons (back in Select mode), views 2004, 2020 and 2056 disable
// them and keep the mode.
//
// Ownership: the strip owns its two buttons as subviews. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppView.h"

class ppButton;

class zelvproRoomButtons : public ppView {
 public:
  // Picture ids of the buttons (the state is added to them); also their tool ids.
  static constexpr int32_t kDrawWallsPicture = 2448, kSelectPicture = 2452;
  // Buttons are this many pixels wide and as high as the strip; the second starts this far right.
  static constexpr int32_t kButtonWidth = 24, kButtonStep = 30;

  // `frame` in the parent's pixels; the strip stays put horizontally and moves with the parent's
  // bottom. The newest strip is published in RoomButtonsInstance.
  zelvproRoomButtons(ppView* parent, const plat::RECT& frame);
  ~zelvproRoomButtons() override;

  // Button presses (5000) and the view switches; any other command is dropped, not passed on.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // One tip per button with the document window's tool-tip control (none without one).
  void AddToolTips(uint32_t word) override;
  void RemoveToolTips() override;
  // A language change: the tips are registered again with the new texts.
  void UpdateTexts() override;

  ppButton* SelectButton() const { return select_; }
  ppButton* DrawWallsButton() const { return drawWalls_; }

 private:
  void ShowButtons(int32_t selectState, int32_t drawWallsState);
  void AddTip(ppButton* button, int32_t listItem, int32_t textId);

  ppButton* drawWalls_ = nullptr;  // owned as a subview
  ppButton* select_ = nullptr;     // owned as a subview
};

// True while "Draw Walls" is chosen: segments and floors then leave presses to the new-room canvas.
// False at start. User-interface thread only.
extern bool DrawWallsMode;
// The most recently constructed strip; null when there is none (cleared when that strip goes).
// User-interface thread only; not owned.
extern zelvproRoomButtons* RoomButtonsInstance;
