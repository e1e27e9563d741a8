// The view of the document window where the plan is edited: the editor (rulers and the scrolled plan
// canvases) and, along the bottom edge, the rotation panel at the left, the room buttons beside it
// when room design is offered, and the home, zoom-in and zoom-out buttons at the right (left out with
// flags1 0x8000000). Every command goes to the editor first; the canvas then shows or hides the room
// buttons with the view mode, keeps the rotation panel's state in step with the selection and
// answers its buttons. Message 1012 on channel 1003 (a room rebuilt) fits the plan into view.
//
// A selection change (3083) only marks the panel's state stale; one posted sweeper brings it up to
// date once per message cycle, so pasting n units costs one selection walk, not n.
//
// Ownership: the editor, buttons, room buttons and rotation panel are subviews. The most recently
// made canvas is Current(), cleared when it goes. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppCollaborator.h"
#include "canvas/window/zelvproSelectionSweeper.h"
#include "framework/ppView.h"

class ppButton;
class zelvDatabase;
class zelvproEditor;
class zelvproRoomButtons;
class zelvproRotatePanel;

class zelvproEditorCanvas : public ppView, public ppCollaborator, public zelvproSelectionSweeper::Canvas {
 public:
  static constexpr int32_t kHomeButton = 2441, kZoomInButton = 3104, kZoomOutButton = 3100;
  // Tool tips: text ids and entries of the default tip list 2013.
  static constexpr int32_t kHomeTipText = 1111, kHomeTipEntry = 23;
  static constexpr int32_t kZoomInTipText = 1134, kZoomInTipEntry = 9;
  static constexpr int32_t kZoomOutTipText = 1135, kZoomOutTipEntry = 8;
  static constexpr int32_t kSelectionChanged = 3083;
  static constexpr int32_t kRoomChannel = 1003, kRoomRebuilt = 1012;
  // The application's turn commands for the rotation panel's buttons.
  static constexpr int32_t kTurnClockwise = 4008, kTurnCounterclockwise = 4009;
  // flags1: no zoom buttons and no zoom tips.
  static constexpr uint32_t kNoZoomButtonsFlag = 0x8000000;

  // `frame` in the supervisor's coordinates; `database` goes to the plan canvases (may be null).
  zelvproEditorCanvas(ppView* supervisor, const plat::RECT& frame, zelvDatabase* database = nullptr);
  ~zelvproEditorCanvas() override;

  static zelvproEditorCanvas* Current();

  void DoCommand(int32_t command, intptr_t parameter) override;
  void SupervisorResized(int32_t dx, int32_t dy) override;
  void Show() override;
  void Hide() override;
  void UpdateTexts() override;
  void AddToolTips(uint32_t word) override;
  void RemoveToolTips() override;
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // Enables the rotation panel when the selection is not empty and holds no unit fixed in place
  // (flag 2), else disables it. Run by the sweeper; callable at once.
  void UpdateRotatePanel() override;
  void SweeperGone(zelvproSelectionSweeper* sweeper) override;
  bool SweeperPending() const { return sweeper_ != nullptr; }
  // How many times the selection was walked for the panel (a measure for tests and benchmarks).
  int32_t SelectionWalks() const { return selectionWalks_; }

  zelvproEditor* Editor() const { return editor_; }
  zelvproRotatePanel* RotatePanel() const { return rotatePanel_; }
  zelvproRoomButtons* RoomButtons() const { return roomButtons_; }
  // Null when the zoom buttons are left out.
  ppButton* HomeButton() const { return home_; }
  ppButton* ZoomInButton() const { return zoomIn_; }
  ppButton* ZoomOutButton() const { return zoomOut_; }

 private:
  void PressButton(ppButton* button, intptr_t parameter);
  void GoHome();
  void ShowRoomButtons(bool shown);
  void ScheduleSelectionCheck();
  bool ZoomButtonsHidden() const { return home_ == nullptr; }

  zelvproEditor* editor_ = nullptr;
  ppButton* home_ = nullptr;
  ppButton* zoomIn_ = nullptr;
  ppButton* zoomOut_ = nullptr;
  zelvproRoomButtons* roomButtons_ = nullptr;
  zelvproRotatePanel* rotatePanel_ = nullptr;
  zelvproSelectionSweeper* sweeper_ = nullptr;  // owned by the queue; at most one pending
  bool roomButtonsShown_ = true;
  bool inEditor_ = false;  // a command is on its way through the editor
  int32_t selectionWalks_ = 0;
};
