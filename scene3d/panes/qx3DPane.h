// The window view that shows the room in three dimensions through OpenGL. It owns the window's
// device context and pixel format and keeps the view state the renderers read: the render style, which
// of the three views is shown and one eye record per view. Keys and commands become camera
// navigation, a click becomes picking and selection. It draws nothing itself: the document's pane
// (zelvpro3DPane) fills the hooks. The camera drawn with is qxCameraRecords::Current().
// User-interface thread.
#pragma once

#include <array>
#include <cstdint>

#include "framework/ppWindow.h"
#include "scene3d/panes/qx3DEyeRecord.h"
#include "scene3d/panes/qxSliderResponsor.h"

class i3DPaneElement;
class i3DPaneHost;
class iContext;
class iRenderer;
class iScene;
class ppMatrix4;
struct ppVector3;
struct qxRay;

class qx3DPane : public ppWindow, public qxSliderResponsor {
 public:
  static constexpr uint32_t kDoubleClickTicks = 30;  // 1/60 second
  // Render styles: wireframe, hidden lines, standard (and a second standard).
  static constexpr uint8_t kWireframe = 0;
  static constexpr uint8_t kHiddenLines = 1;
  static constexpr int32_t kNavigate = 3080;
  static constexpr int32_t kDeleteSelection = 36;

  // Around the existing `window`; `frame` is its client rectangle. `host` (not owned) answers for
  // the document and must outlive the pane.
  qx3DPane(plat::HWND window, const plat::RECT& frame, i3DPaneHost* host);
  ~qx3DPane() override;

  // Chooses and sets the pixel format of `dc` (the GDI flag asks for a single-buffered format GDI can
  // draw on); false when none could be set, after which the pane draws nothing.
  static bool selectPixelFormat(plat::HDC dc, bool gdi);

  // ---- Overridden view and event operations.
  void KeyDown(signed char key, int32_t flags) override;
  void DoCommand(int32_t command, intptr_t argument) override;
  void DrawContent(ppDC& dc) override;
  // The click on the pane itself (picking and selection); always true.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void Show() override;
  void AdjustCursor(int32_t x, int32_t y) override;
  void SupervisorResized(int32_t dx, int32_t dy) override;

  // ---- Hooks the document pane fills.
  virtual void ResetView() {}
  virtual void RenderScene(plat::HDC /*dc*/) {}
  // The ray hit test of `element`, in scene millimetres.
  virtual bool RayHit(i3DPaneElement& element, const qxRay& ray, ppVector3* point, ppVector3* normal);
  virtual void ClickedNothing(int32_t /*x*/, int32_t /*y*/) {}
  virtual void NothingHit();
  virtual void NavigateKey(int32_t /*virtualKey*/) {}
  virtual void NavigateCommand(int32_t /*command*/) {}
  virtual void Rotate(float /*angle*/) {}
  // Makes `context` (the shared one when null) current, runs pending updates, with `setViewport` sets
  // the frame as viewport and applies the current camera, and renders `scene` with `renderer` when
  // both are given.
  virtual void RenderWith(iContext* /*context*/, iRenderer* /*renderer*/, iScene* /*scene*/,
                          bool /*setViewport*/) {}

  // Marks the element changed while the 3D view was not drawn.
  void NoteElementChanged(i3DPaneElement& element);

  // ---- View state.
  i3DPaneHost& Host() const { return *host_; }
  plat::HDC DC() const { return dc_; }
  const plat::RECT& Frame() const { return frame_; }
  int32_t FrameWidth() const { return frame_.right - frame_.left; }
  int32_t FrameHeight() const { return frame_.bottom - frame_.top; }
  uint8_t RenderStyle() const { return renderStyle_; }
  void SetRenderStyle(uint8_t style) { renderStyle_ = style; }
  uint8_t ViewIndex() const { return viewIndex_; }
  void SetViewIndex(uint8_t index) { viewIndex_ = index; }
  // The eye record of the current view; a view index above 2 answers a scratch record.
  qx3DEyeRecord& Eye();
  std::array<qx3DEyeRecord, 3>& Eyes() { return eyes_; }
  bool RedrawAll() const { return redrawAll_; }
  void SetRedrawAll(bool on) { redrawAll_ = on; }
  bool KeepRedraw() const { return keepRedraw_; }
  bool Outline() const { return outline_; }
  void SetOutline(bool on) { outline_ = on; }
  bool NavigationTarget() const { return navigationTarget_; }
  bool PendingUpdate() const { return pendingUpdate_; }
  void SetPendingUpdate(bool on) { pendingUpdate_ = on; }
  // Set while an off-screen picture of the pane (or of an editor view) is made, and while its pixels
  // are drawn. User-interface thread.
  bool OffscreenBusy() const { return offscreenBusy_; }
  void SetOffscreenBusy(bool on) { offscreenBusy_ = on; }
  bool OffscreenTarget() const { return offscreenTarget_; }
  void SetOffscreenTarget(bool on) { offscreenTarget_ = on; }
  bool HandledByKey() const { return handledByKey_; }
  void SetHandledByKey(bool on) { handledByKey_ = on; }

 private:
  // Points the camera at `element` from its front and fits its bounds into the view.
  void AimAt(i3DPaneElement& element, bool level);
  void SelectByClick(i3DPaneElement* element, bool doubleClick, uint32_t now);
  void ArrowKey(int32_t key);

  i3DPaneHost* host_;
  std::array<qx3DEyeRecord, 3> eyes_{};
  qx3DEyeRecord scratchEye_{};
  bool handledByKey_ = false;
  bool redrawAll_ = true;
  bool keepRedraw_ = true;
  uint8_t renderStyle_ = 2;
  uint8_t viewIndex_ = 0;
  bool outline_ = false;
  bool pendingUpdate_ = true;
  bool navigationTarget_ = true;
  bool shownOnce_ = false;
  bool offscreenBusy_ = false;
  bool offscreenTarget_ = false;
  bool clickedBefore_ = false;
  uint32_t lastClickTime_ = 0;
  plat::HDC dc_ = nullptr;
  plat::RECT frame_{};
};
