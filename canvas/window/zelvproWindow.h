// The one document window: it builds and owns the working surface (the element palette at the
// bottom, the view bar at the top, the editor canvas, the configurator pane, the calculation and 3D
// canvases), places them, publishes its grey table to the adorners, opens the document named on the
// command line or resumes the autosaved one, runs the autosave thread, and answers the document-level
// commands (new, open, save, export, print), the remote commands of another start (3044) and the
// application's picture export (-16). As the element host it is what the plan elements ask of
// the window; as the 3D pane host what the 3D panes ask.
//
// Geometry (window pixels) for a window frame (L, T, R, B): palette (L, B - 135, R + 1, B), or from
// B - 155 with the catalogue overview (flags1 0x2000000); view bar (L, T, R + 1, T + 62); editor
// canvas (L + 10, T + 64, R - 199, P.top - 1); configurator (R - 197, T + 64, R - 7, P.top - 6);
// calculation and 3D canvases (L, T + 59, R - 199, P.top - 1). With the configurator on the left
// (flags1 0x20000000) the canvases move right and the configurator to the left edge.
//
// Ownership: the palette, view bar, editor canvas, calculation and 3D canvases are owned (the two
// canvases are detached until the bar shows them); the configurator pane and the background view
// are subviews. The maker's 3D canvas is made when first needed (its view chosen, Canvas3DView,
// Canvas3D or a scene entry asked), since the first frame never shows it: until then the window is
// the document's view-point step. The document commands, application database and autosave waiter
// are not owned and must outlive the window. User-interface thread only (the autosave thread posts
// 4020 to it).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "canvas/window/DocumentScenePane.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproWindowPrintSettings.h"
#include "canvas/window/zelvproWindowServices.h"
#include "catalogue/records/iDocumentViewPoints.h"
#include "elements/base/iElementHost.h"
#include "framework/ColorConversion.h"
#include "framework/ppPrinting.h"
#include "framework/ppWindow.h"
#include "scene3d/panes/i3DPaneHost.h"

class iAutoSaveWaiter;
class qxApplicationdb;
class qxBkGndView;
class zelvDatabase;
class zelvproCalculatorCanvas;
class zelvproConfiguratorPane;
class zelvproEditorCanvas;
class zelvproElementPalette;
class zelvproViewBar;
class ToolTipControl;

class zelvproWindow : public ppWindow,
                      public ppPrinting,
                      public iElementHost,
                      public i3DPaneHost,
                      public iDocumentViewPoints {
 public:
  // Commands.
  static constexpr int32_t kNew = 11, kOpen = 12, kSave = 14, kSaveAs = 15, kExport = 16, kPrintSetup = 18,
                           kPrint = 19, kPrintLandscape = 22, kOpenFile = 3044, kIgnored = 3056,
                           kSceneDisplayFlag = 3048, kWriteAutoSave = 4020, kPaletteCommand = 4030,
                           kContextCommand = 4010, kExportElevationPictures = -16;
  // flags1: the palette with the catalogue overview; the configurator on the left.
  static constexpr uint32_t kOverviewFlag = 0x2000000, kConfiguratorLeftFlag = 0x20000000;
  static constexpr int32_t kBackgroundPicture = 1015;
  static constexpr int32_t kGreyCount = 12;

  struct Parts {
    qxApplicationdb* application = nullptr;  // the configurator panels; null: none built
    zelvDatabase* catalogue = nullptr;       // the main catalogue (identifier 1), for the canvases
    iDocumentCommands* document = nullptr;   // null: the neutral operations
    std::string commandLine;                 // the program's argument bytes; empty: resume
    plat::HWND frame = nullptr;              // the application's frame, for the autosave thread
    iAutoSaveWaiter* autoSaveWaiter = nullptr;
    // Makes the 3D canvas in the window at the frame, when first needed; null: a plain view.
    std::function<ppView*(const plat::RECT&)> make3DCanvas;
  };

  // `frame` in the multiple-document client (a top-level window when there is none).
  zelvproWindow(const plat::RECT& frame, Parts parts);
  ~zelvproWindow() override;

  void DoCommand(int32_t command, intptr_t parameter) override;
  int32_t HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  void UpdateTargetMenus() override;
  void KeyDown(signed char key, int32_t flags) override;
  void Activate() override;
  // Asks about unsaved changes; closes the document's file when allowed.
  bool CanClose() override;
  // The editor scroller prints the current view; true while another page follows.
  bool PrintPage(int32_t page, ppDC* dc) override;
  // Command 3044: `file` names a document to open or carries a remote command (an option letter with
  // arguments) from another start of the program. Open and new bring the frame to the front; the
  // generate-pictures and delete-document commands start a new document and only report, in a box
  // owned by this window, that they were called. The caller keeps `file`.
  void RunRemoteCommand(const DocumentFileRecord& file);
  // The drawing-scale question before a plan print: the metric or inch dialog; true on OK, with the
  // chosen scale (0 fit, 20, 48, 50) and layout choice (1: the full report with elevations).
  virtual bool AskDrawingScale();

  int32_t DrawingScale() const { return drawingScale_; }
  int32_t LayoutChoice() const { return layoutChoice_; }
  // Set while a print job that includes the elevations runs.
  bool ElevationPrint() const { return elevationPrint_; }
  const ppRGBColor* GreyTable() const { return greys_; }

  zelvproViewBar* ViewBar() const { return viewBar_; }
  zelvproElementPalette* Palette() const { return palette_; }
  zelvproEditorCanvas* EditorCanvasView() const { return editorCanvas_; }
  // The price list canvas; a plain view when the window has no catalogue to list from.
  ppView* CalculationCanvas() const { return calculation_; }
  // The 3D canvas, made now when it was not yet.
  ppView* Canvas3DView();
  // The 3D canvas when it was made; null before.
  ppView* Made3DCanvas() const { return canvas3D_; }
  // The document operations the window's File commands run (the neutral ones unless handed in).
  iDocumentCommands& DocumentCommands() const { return *document_; }
  zelvproConfiguratorPane* ConfiguratorPane() const { return configuratorPane_; }
  qxBkGndView* Background() const { return background_; }

  // ---- iElementHost.
  int32_t CurrentViewId() override;
  plat::HWND DocumentWindow() override { return GetHWND(); }
  zelvproElement* TopCanvas() override;
  zelvproElement* NewRoomCanvas() override;
  zelvproLayerPalette* LayerPalette() override;
  ppEventHandler* EditorCanvas() override;
  ppEventHandler* Canvas3D() override;
  void ShowDefaultConfigurator() override;
  zelvproTagFil* TagTable() override;
  void MarkDocumentModified() override;
  void InvalidatePlanEditor(ppRegion& region) override;
  // The 3D pane (a stand-in that does nothing until the 3D canvas is made) and its window.
  iScenePane* ScenePane() override { return &scenePane_; }
  plat::HWND ScenePaneWindow() override { return scenePane_.Window(); }
  // The items of the application frame's menu.
  void EnableMenuItem(int32_t command, bool enabled) override;
  void CheckMenuItem(int32_t command, bool checked) override;

  // ---- i3DPaneHost.
  void TopCanvasCommand(int32_t command, intptr_t argument) override;
  void TopCanvasAfterEdit() override;
  void ApplicationCommand(int32_t command, intptr_t argument) override;
  bool CommandOptionOn() override;
  void PostUndoTask(intptr_t task) override;
  void EditorRefresh() override;
  void RulerBroadcast() override;
  void Note3DViewDrawn() override { sceneDrawn_ = true; }
  void RefreshRulers() override;
  void PublishPictureItems(qxPictureItem* items) override { pictureItems_ = items; }
  // The lowest wall of the room's floor (millimetres); 0 without a floor.
  float RoomHeight() override;
  // The room's floor outline size along x and z (millimetres); 0, 0 without a floor.
  void FloorExtent(float* x, float* z) override;
  ppFloat4 SettingsColor(int32_t id) override;
  // Kept by the application, so that the renderers read it from then on.
  void SetSettingsColor(int32_t id, const ppFloat4& color) override;
  int32_t PrintResolution() override;
  bool DocumentNamed() override;
  std::string DocumentPath() override;
  // The scene, picking, selection, tool mode and views: the 3D canvas's answers (neutral while the
  // 3D canvas is a plain view).
  void AddSceneParts(ppScene& scene) override;
  void AddRoomSceneParts(ppScene& scene) override;
  void RunPendingUpdates() override;
  i3DPaneElement* ElementForPickName(uint32_t name) override;
  ppBounds3 CanvasBounds(float factor) override;
  qxEyePlacement::Corners RoomCorners() override;
  void SetHitElement(i3DPaneElement* element) override;
  std::vector<i3DPaneElement*> Selection() override;
  void ShowConfiguratorForElement(i3DPaneElement* element) override;
  bool ToolModeActive() override;
  bool ToolModeSelects() override;
  void EndToolMode() override;
  int32_t ToolModeCursor() override;
  uint32_t ViewFlags() override;
  void SelectViewPreset(uint32_t flags) override;
  void StartMoveTask(const std::vector<i3DPaneElement*>& selection, i3DPaneElement* element, int32_t x,
                     int32_t y, bool dragger) override;
  void PrepareAltDrag() override;
  void RotateSelection(float angle) override;

  // ---- iDocumentViewPoints, while the 3D canvas is not made.
  void AfterOpen(zelvproDocFil& document) override;
  void BeforePacking(zelvproDocFil& document) override;

 protected:
  // What a scale question answered: the scale denominator and the layout choice.
  void SetDrawingChoice(int32_t scale, int32_t layout) { drawingScale_ = scale, layoutChoice_ = layout; }

 private:
  void Build(const plat::RECT& frame);
  void StartDocument(const std::string& commandLine);
  void PrintForView();
  void PrintWith(int32_t orientation, bool elevations);
  void ToggleHiddenFronts();
  // The 3D canvas as the scene's host (made now when it was not yet); null while it is a plain view.
  i3DPaneHost* Scene3D() { return dynamic_cast<i3DPaneHost*>(Canvas3DView()); }

  Parts parts_;
  iDocumentCommands* document_;  // never null
  zelvproWindowServices services_;
  DocumentScenePane scenePane_{[this] { return canvas3D_; }};
  std::unique_ptr<ToolTipControl> tips_;
  zelvproViewBar* viewBar_ = nullptr;
  zelvproElementPalette* palette_ = nullptr;
  zelvproEditorCanvas* editorCanvas_ = nullptr;
  ppView* calculation_ = nullptr;
  zelvproCalculatorCanvas* calculator_ = nullptr;  // calculation_ when it is the price list canvas
  ppView* canvas3D_ = nullptr;                     // null until made
  // The window's frame when its panes were built and the canvases' frame then (window pixels): a
  // canvas made later is placed there and then told of the resizes since.
  plat::RECT builtFrame_{};
  plat::RECT canvasFrame_{};
  ppRGBColor greys_[kGreyCount];
  zelvproConfiguratorPane* configuratorPane_ = nullptr;  // subview
  qxBkGndView* background_ = nullptr;                    // subview
  int32_t drawingScale_ = 0;
  int32_t layoutChoice_ = 0;
  // Every plan page reads the chosen scale through these, from the window's making to its end.
  zelvproWindowPrintSettings printSettings_{drawingScale_};
  bool elevationPrint_ = false;
  bool sceneDrawn_ = false;
  bool autoSaveStarted_ = false;
  bool making3D_ = false;                  // set while the maker runs
  qxPictureItem* pictureItems_ = nullptr;  // the caller's, while a plan picture is drawn
};
