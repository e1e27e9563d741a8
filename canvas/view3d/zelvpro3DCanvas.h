// The document window's 3D view: a canvas that owns the OpenGL pane and the navigation controls
// framed round it (rotation and distance sliders below, the tilt slider at the right, the home
// view-point and zoom-to-object buttons, the show/hide-fronts pair and its own rotation panel), keeps
// the four stored view points of the document record ("customViewPoints" and blocks 0 to 3 of five
// doubles: -tilt, -rotation, -X, -Y, -Z of a camera, degrees and millimetres) and answers the scene
// entries the window forwards from the pane: the scene parts, picking by save id, the selection and
// the zoom tool mode.
//
// Bits of "customViewPoints": 1 a view point was stored; 2 the home view is the pane's own reset; for
// view point k, 0x10000 << k camera mode 2 and 0x80000 << k camera mode 1 (neither: mode 0). Bit 19 is
// both view point 0's mode-1 bit and view point 3's mode-2 bit, as stored documents hold it.
//
// There is one: the constructor makes it Current() (on the reset list; user-interface thread), the
// destructor clears it. The pane is a child window of the document window, destroyed with the
// canvas; sliders, buttons, frame view and rotation panel are subviews. The document record file's
// view-point step is this canvas while it exists.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "canvas/view3d/iSliderResponder.h"
#include "canvas/window/zelvproSelectionSweeper.h"
#include "catalogue/records/iDocumentViewPoints.h"
#include "elements/base/zelvproCanvas.h"
#include "framework/ppCollaborator.h"
#include "scene3d/panes/i3DPaneHost.h"

class ppButton;
class zelvDatabase;
class zelvpro3DPane;
class zelvproButtonSlider;
class zelvproPaneElement;
class zelvproRotatePanel;
class zelvproViewPointButton;

class zelvpro3DCanvas : public zelvproCanvas,
                        public ppCollaborator,
                        public i3DPaneHost,
                        public iDocumentViewPoints,
                        public iSliderResponder,
                        public zelvproSelectionSweeper::Canvas {
 public:
  // Button and command ids.
  static constexpr int32_t kHomeButton = 2441, kZoomModeButton = 2445, kShowFrontsButton = 3616,
                           kHideFrontsButton = 3620, kDrawingFlagButton = 3094;
  static constexpr int32_t kViewPoint0Button = 2281, kViewPoint1Button = 2285, kViewPoint2Button = 2289,
                           kViewPoint3Button = 2293;
  static constexpr int32_t kSelectionChanged = 3083, kUseDefaultHome = 4003, kCaptureHome = 4004,
                           kPressed = 5000, kReleased = 5001, kPaneNavigate = 3080, kFrontsMenuItem = 3048;
  static constexpr uint32_t kStoredFlag = 1, kDefaultHomeFlag = 2;
  // Slider pictures (increase / decrease) and the frame picture.
  static constexpr int32_t kRotationUp = 2429, kRotationDown = 2425, kDistanceUp = 3624, kDistanceDown = 3628,
                           kTiltUp = 2437, kTiltDown = 2433, kFramePicture = 1101;
  static constexpr int32_t kTipList = 2013;

  // `frame` in the supervisor's coordinates; the pane asks `host` (null: the supervisor when it is
  // one, else this canvas).
  zelvpro3DCanvas(ppView* supervisor, const plat::RECT& frame, zelvDatabase* database,
                  i3DPaneHost* host = nullptr);
  ~zelvpro3DCanvas() override;

  static zelvpro3DCanvas* Current();
  // The document window's maker of its 3D canvas: the canvas in the window being built (the element
  // host), answered by it.
  static std::function<ppView*(const plat::RECT&)> Maker(zelvDatabase* database);

  // ---- Views and commands.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void KeyDown(signed char key, int32_t flags) override;
  void UpdateTargetMenus() override;
  bool IsDoubleClick(int32_t /*x*/, int32_t /*y*/) override { return true; }
  void DrawContent(ppDC& /*dc*/) override {}
  void AdjustCursor(int32_t /*x*/, int32_t /*y*/) override {}
  void SupervisorResized(int32_t dx, int32_t dy) override;
  void Show() override;
  void Hide() override;
  void UpdateTexts() override;
  void AddToolTips(uint32_t word) override;
  void RemoveToolTips() override;
  void BuildInfoPanel(qxViewHolder* source) override;

  // ---- View points. `block` 0..3 of the document record; `flags` its "customViewPoints".
  // Makes the camera record of the kind's mode current and loads the block into it.
  void SelectViewPreset(int32_t kind, int32_t block, uint32_t flags);
  // Stores the current camera into the block and its mode bits into `flags`.
  static void WritePresetValues(int32_t kind, int32_t block, uint32_t& flags);
  void ApplyViewPoint(int32_t command);
  void ReleaseZoomModeButton();
  // "customViewPoints" of the open document (0 without one), and writing it.
  static uint32_t CustomViewPoints();
  static void SetCustomViewPoints(uint32_t flags);
  // The view-point steps of a document load and of packing a document, on the process's camera
  // records and the document record alone: what AfterOpen and BeforePacking do, less the pane's
  // repaint, for a window whose 3D canvas is not made yet.
  static void TakeOpenedViewPoints();
  static void KeepCameraForPacking();
  // Hides a canvas made after the document was opened: as Hide, but the camera is not written
  // into the document (a canvas made at the window's start wrote it before any document was read).
  void HideAsMade();
  // Fits the camera to the room (the home view) unless the open document's view point or an earlier
  // fit placed it.
  void PlaceCameraOnce();

  // ---- iDocumentViewPoints.
  void AfterOpen(zelvproDocFil& document) override;
  void BeforePacking(zelvproDocFil& document) override;

  // ---- iSliderResponder: the sliders steer the pane.
  void SliderBegin(int32_t sliderId) override;
  void SliderEnd(int32_t sliderId) override;
  void SliderChanged(int32_t delta, int32_t sliderId) override;

  // ---- The rotation panel, once per message cycle.
  void UpdateRotatePanel() override;
  void SweeperGone(zelvproSelectionSweeper* sweeper) override;
  int32_t SelectionWalks() const { return selectionWalks_; }

  // ---- i3DPaneHost: what the window forwards.
  void AddSceneParts(ppScene& scene) override;
  void AddRoomSceneParts(ppScene& scene) override;
  // Elements the pane noted as changed while it was not drawn rebuild their geometry and colours.
  void RunPendingUpdates() override;
  // The corners of the room outline's bounding rectangle in plan (x, z), millimetres, in the order
  // the eye placement reads them; none without a room canvas.
  qxEyePlacement::Corners RoomCorners() override;
  i3DPaneElement* ElementForPickName(uint32_t name) override;
  ppBounds3 CanvasBounds(float factor) override;
  void SetHitElement(i3DPaneElement* element) override { hitElement_ = element; }
  std::vector<i3DPaneElement*> Selection() override;
  void ShowConfiguratorForElement(i3DPaneElement* element) override;
  bool ToolModeActive() override { return zoomToObject_; }
  bool ToolModeSelects() override { return false; }
  void EndToolMode() override { ReleaseZoomModeButton(); }
  int32_t ToolModeCursor() override { return zoomToObject_ ? kZoomCursor : -1; }
  uint32_t ViewFlags() override;
  void SelectViewPreset(uint32_t flags) override;
  // The 3D mover (or with `dragger` the dragger) over the selection, started at the pane point.
  void StartMoveTask(const std::vector<i3DPaneElement*>& selection, i3DPaneElement* element, int32_t x,
                     int32_t y, bool dragger) override;
  // The Alt press's copy: the selection is copied and pasted, the copies selected and put where
  // their originals stand; no undo entry. The StartMoveTask that follows at once drags the copies,
  // and its dragger takes them out again when they do not stand.
  void PrepareAltDrag() override;
  // Turns the selection by `angle` radians as one undoable step.
  void RotateSelection(float angle) override;

  // ---- State.
  zelvpro3DPane* Pane() const { return pane_; }
  zelvproButtonSlider* RotationSlider() const { return rotationSlider_; }
  zelvproButtonSlider* DistanceSlider() const { return distanceSlider_; }
  zelvproButtonSlider* TiltSlider() const { return tiltSlider_; }
  zelvproViewPointButton* ViewPointButton() const { return viewPointButton_; }
  ppButton* ZoomModeButton() const { return zoomModeButton_; }
  ppButton* ShowFrontsButton() const { return showFrontsButton_; }
  ppButton* HideFrontsButton() const { return hideFrontsButton_; }
  zelvproRotatePanel* RotatePanel() const { return rotatePanel_; }
  i3DPaneElement* HitElement() const { return hitElement_; }
  bool ZoomToObject() const { return zoomToObject_; }
  // 1 while fronts are hidden.
  uint8_t HideFronts() const { return hideFronts_; }
  // Set when the home view came from the pane's own reset.
  bool ViewReset() const { return viewReset_; }
  void SetViewReset(bool on) { viewReset_ = on; }
  bool DrawingFlag() const { return drawingFlag_; }
  // The plan element's face to the panes (made once per element address).
  i3DPaneElement* PaneElementFor(zelvproElement* element);
  zelvproElement* TopCanvasElement() const;

  static constexpr int32_t kZoomCursor = 0;

 private:
  void PressButton(ppButton* button);
  void SwitchGroup(ppButton* button, ppButton*& current, int32_t command);
  void ScheduleSelectionCheck();
  zelvproButtonSlider* SliderById(int32_t id) const;

  zelvpro3DPane* pane_ = nullptr;  // child window; destroyed with the canvas
  // The pane's window: the pane goes with it, and a frame closed by its close box destroys it before
  // the canvas is deleted, so the canvas asks the handle, never the pane, whether it still stands.
  plat::HWND paneWindow_ = nullptr;
  ppView* frameView_ = nullptr;
  zelvproButtonSlider* rotationSlider_ = nullptr;
  zelvproButtonSlider* distanceSlider_ = nullptr;
  zelvproButtonSlider* tiltSlider_ = nullptr;
  zelvproViewPointButton* viewPointButton_ = nullptr;
  ppButton* zoomModeButton_ = nullptr;
  ppButton* showFrontsButton_ = nullptr;
  ppButton* hideFrontsButton_ = nullptr;
  zelvproRotatePanel* rotatePanel_ = nullptr;
  ppButton* currentButtonA_ = nullptr;
  ppButton* currentButtonB_ = nullptr;
  zelvproSelectionSweeper* sweeper_ = nullptr;  // owned by the queue; at most one pending
  i3DPaneElement* hitElement_ = nullptr;
  std::unordered_map<zelvproElement*, std::unique_ptr<zelvproPaneElement>> paneElements_;
  // The last Alt press's originals and their copies, pair by pair, until the dragger starts; not owned.
  std::vector<std::pair<zelvproElement*, zelvproElement*>> altCopies_;
  bool altModifiedBefore_ = false;  // the document's modified mark before the Alt press's copies
  int32_t selectionWalks_ = 0;
  bool zoomToObject_ = false;
  uint8_t hideFronts_ = 0;
  bool viewReset_ = false;
  bool drawingFlag_ = false;
};

// Has the one 3D canvas release its zoom-mode button; nothing without one.
void Release3DZoomModeButton();
