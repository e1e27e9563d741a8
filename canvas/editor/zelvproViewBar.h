// The bar across the top of the document window: the big view buttons that switch the window between
// room design (2016), top-view colour (2004), 3D (2024) and the item list (2012), the optional tool
// buttons (inspiration, e-mail order, web send, save, print, exit) and the logo. It is the one place
// where the current view changes: it hides the canvas of the leaving view, shows the canvas of the
// new one, sets the menu's check marks and enabled items, shows the view's default configurator
// panel, keeps the item strip's scroll position per view and announces the change on channel 1001.
// As the layer palette it keeps the plan scale (millimetres per pixel) that the plan editor, the
// rulers and the plan conversions read.
//
// Ownership: the bar owns its buttons (and the logo pane) as subviews. The element palette, the three
// canvases, the editor and the services are the document window's. The canvas of the current view is
// a subview of the document window; the other two have no supervisor. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>

#include "elements/base/zelvproLayerPalette.h"
#include "framework/ppCollaborator.h"
#include "framework/ppView.h"

class iViewBarEditor;
class iViewBarServices;
class ppButton;
class zelvproElementPalette;

class zelvproViewBar : public ppView, public ppCollaborator, public zelvproLayerPalette {
 public:
  // View ids; each view button's id is also its picture id and its command id.
  static constexpr int32_t kTopColourView = 2004, kItemListView = 2012, kRoomDesignView = 2016,
                           kTopView = 2020, k3DView = 2024, kButtonlessPlanView = 2032,
                           kAnnotationView = 2056;
  // Tool buttons.
  static constexpr int32_t kInspirationButton = 2068, kMailOrderButton = 2072, kExitButton = 2080,
                           kPrintButton = 2084, kSaveButton = 2088, kWebSendButton = 2092;
  // Menu commands the bar answers.
  static constexpr int32_t kRoomDesignCommand = 3001, kTopViewCommand = 3002, kTopColourCommand = 3003,
                           k3DCommand = 3005, kItemListCommand = 3006, kZoomInCommand = 3009,
                           kZoomOutCommand = 3010, kNormalZoomCommand = 3011, kInspirationCommand = 3013;
  // A view switch is announced on this channel: message 1001 (room design), 1002 (top views, 3D) or
  // 1005 (item list), parameter 0.
  static constexpr int32_t kViewChannel = 1001;
  // Plan scale steps, millimetres per pixel.
  static constexpr double kZoomStep = 2.5;

  // flags1 of the application settings that decide which buttons exist (room design follows the
  // settings' roomDesign switch).
  static constexpr uint32_t kInspirationFlag = 0x4, kSaveFlag = 0x200000, kPrintFlag = 0x400000,
                            kExitFlag = 0x800000, kLogoLeftFlag = 0x20000000;
  // flags2: the save button saves to the document server.
  static constexpr uint32_t kServerSaveFlag = 0x100000;

  // `frame` in the window's pixels. The canvases may be null; `palette`, `services` (null: the neutral
  // ones) and `editor` (null: none yet, see SetEditor) are not owned. Becomes the starting view's bar:
  // room design when offered, else the top view with no button pressed.
  zelvproViewBar(ppView* window, const plat::RECT& frame, zelvproElementPalette* palette,
                 ppView* editorCanvas, ppView* calculationCanvas, ppView* canvas3D,
                 iViewBarServices* services = nullptr, iViewBarEditor* editor = nullptr);
  ~zelvproViewBar() override;

  // Button presses (5000) and the menu commands above; 3008, 3024, 2500 and 5001 are taken and do
  // nothing; every other command goes up as a view's does.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void PassViewCommand(int32_t command, intptr_t parameter) override { DoCommand(command, parameter); }

  // Presses the view button of a starting page: 0 room design (as 1 when room design is not offered),
  // 2 top-view colour, 4 3D, 5 item list; other pages press nothing.
  void SelectViewByIndex(int32_t page);
  // Presses the view button of `viewId` unless that view is current or its button the pressed one;
  // ids without a button do nothing.
  void SelectViewById(int32_t viewId);
  // Shows the current view's default configurator panel, then refreshes the editor's rulers after
  // the room design, item list and annotation views.
  void ShowDefaultConfiguratorForViewMode();
  void ShowConfiguratorForView() { ShowDefaultConfiguratorForViewMode(); }
  // Saves the strip's scroll position for the leaving view, hides and detaches its canvas and
  // deselects everything on the two plan roots.
  void HideCurrentView();

  void AddToolTips(uint32_t word) override;
  void RemoveToolTips() override;
  // Texts of the new language, then the tips registered again.
  void UpdateTexts() override;
  // The hidden canvases follow the window's size too, so that each has the right size when shown.
  void SupervisorResized(int32_t dx, int32_t dy) override;

  // The editor the bar applies the scale to and tells of view switches; null: none. Not owned.
  void SetEditor(iViewBarEditor* editor) { editor_ = editor; }
  // Makes the 3D canvas when the 3D view is first chosen, for a bar made without one; the maker's
  // owner keeps the canvas, made detached and hidden at the window's current size.
  void SetCanvas3DMaker(std::function<ppView*()> make) { make3D_ = std::move(make); }
  // The 3D canvas its owner made before the bar asked for it: it follows the window's size from now.
  void SetCanvas3D(ppView* canvas) { canvas3D_ = canvas; }
  // The handler that becomes the window's key target in the 3D view; null: the 3D canvas. Not owned.
  void SetScenePaneTarget(ppEventHandler* target) { sceneTarget_ = target; }

  int32_t CurrentViewId() const { return currentView_; }
  int32_t PreviousViewId() const { return previousView_; }
  // The button `id` (view or tool button); null when the bar has none.
  ppButton* Button(int32_t id) const;
  ppButton* PressedButton() const { return pressed_; }

 private:
  struct Slot {
    int32_t id;
    ppButton* button;  // owned as a subview; null when not made
  };

  void MakeButtons();
  ppButton* MakeButton(int32_t id, const plat::RECT& frame, int8_t horizontal);
  void Press(ppButton* button);
  void PressById(int32_t id);
  void SwitchTo(ppButton* button);
  void PressTool(ppButton* button);
  void ZoomIn();
  void ZoomOut();
  void NormalZoom();
  void ApplyZoom();
  void SetMenuStates(int32_t viewId);
  void Check(int32_t command, bool checked);
  void Enable(int32_t command, bool enabled);
  void RefreshRulers();
  void OpenInspiration();
  void Save();
  // The canvas that shows `viewId` (the 3D canvas made now when it was not yet); null for none.
  ppView* CanvasOf(int32_t viewId);
  ppView* Canvas3D();

  Slot slots_[10] = {{kRoomDesignView, nullptr}, {kTopColourView, nullptr},     {k3DView, nullptr},
                     {kItemListView, nullptr},   {kInspirationButton, nullptr}, {kMailOrderButton, nullptr},
                     {kWebSendButton, nullptr},  {kExitButton, nullptr},        {kPrintButton, nullptr},
                     {kSaveButton, nullptr}};
  ppButton* pressed_ = nullptr;  // one of the slots' buttons; null when none
  zelvproElementPalette* palette_ = nullptr;
  ppView* editorCanvas_ = nullptr;
  ppView* calculationCanvas_ = nullptr;
  ppView* canvas3D_ = nullptr;  // null until made when make3D_ is set
  std::function<ppView*()> make3D_;
  iViewBarServices* services_ = nullptr;  // never null
  iViewBarEditor* editor_ = nullptr;
  ppEventHandler* sceneTarget_ = nullptr;
  int32_t currentView_ = kRoomDesignView;
  int32_t previousView_ = kRoomDesignView;
};
