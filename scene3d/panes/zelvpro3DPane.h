// The 3D view of a document window: a child window of class "ViewerTD" that draws the room through
// one of three named renderers into the shared 3D context, orbits the camera with three sliders,
// starts the 3D move and drag of the selection, and streams its scene into a caller's context.
// The renderer names come from the application settings through SetRenderSettings; the document
// around it answers through its i3DPaneHost. User-interface thread.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "foundation/VconString.h"
#include "foundation/ppVector3.h"
#include "scene3d/panes/qx3DPane.h"

class iPaneSlider;
class ppScene;
struct qxPrintPage;

class zelvpro3DPane : public qx3DPane {
 public:
  static constexpr const char* kClassName = "ViewerTD";
  static constexpr const char* kProperty = "c3D";
  static constexpr plat::UINT kClassStyle = 0x40;
  static constexpr plat::DWORD kWindowStyle = 0x46000000;  // child, clip siblings, clip children
  // Renderer slots.
  static constexpr int32_t kStandardSlot = 0;
  static constexpr int32_t kHiddenLinesSlot = 1;
  static constexpr int32_t kWireframeSlot = 2;
  static constexpr int32_t kDepthSlot = 3;
  // Slider ids and the distance slider's middle.
  static constexpr int32_t kYawSlider = 6;
  static constexpr int32_t kPitchSlider = 7;
  static constexpr int32_t kDistanceSlider = 8;
  static constexpr float kDistanceSliderUnit = 245.0f;
  // The eye's distance from the room's centre at a distance slider value of 245 until a slider
  // press measures the eye's present distance, millimetres.
  static constexpr float kBaseDistance = 10000.0f;

  zelvpro3DPane(plat::HWND window, const plat::RECT& frame, i3DPaneHost* host);
  ~zelvpro3DPane() override;

  // Registers the window class once (application start-up).
  static void RegisterClass();
  // A hidden pane in `parent` at `rect` (parent client pixels) answering to `host`; null when the
  // window could not be made.
  static zelvpro3DPane* Create(plat::HWND parent, const plat::RECT& rect, i3DPaneHost* host);
  static plat::LRESULT WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);
  // The pane whose window was made last; null once it is gone.
  static zelvpro3DPane* Current();

  // The application record's "renderSettings" (renderer names by slot, ";"-separated) and
  // "renderOptions" (the polygon offset); the panes load their renderers again before they next draw.
  static void SetRenderSettings(const std::string& settings, const std::string& options);
  void LoadRenderers();
  // The registry name of the renderer in `slot` (empty when none).
  const std::string& RendererName(int32_t slot) const { return names_[size_t(slot)]; }
  iRenderer* RendererAt(int32_t slot) const { return renderers_[size_t(slot)].get(); }
  // The renderer the render style draws with: wireframe, hidden-lines, else standard slot.
  iRenderer* StyleRenderer() const;

  // ---- Hooks.
  // The sliders the camera follows (yaw, pitch, distance; not owned, null for none). With a link
  // the camera reads that slider's present value; without, the last value a move reported.
  void SetSliderLinks(const iPaneSlider* yaw, const iPaneSlider* pitch, const iPaneSlider* distance);
  // A slider press begins: the base distance is taken from where the eye stands now.
  void SliderShown(int32_t id) override;
  // Orbits the eye round the centre of the canvas's bounds: yaw = yaw value, pitch = pitch value -
  // 90, distance = base distance x distance value / 245. A turn or tilt first takes the base distance
  // afresh when something else moved the camera since the sliders last placed it, so it keeps the
  // eye's present distance.
  void SliderMoved(int32_t value, int32_t id) override;
  void ResetView() override;
  void RenderScene(plat::HDC dc) override;
  void RenderWith(iContext* context, iRenderer* renderer, iScene* scene, bool setViewport) override;
  void ClickedNothing(int32_t x, int32_t y) override;
  void NavigateKey(int32_t virtualKey) override;
  void NavigateCommand(int32_t command) override;
  void Rotate(float angle) override;
  // Streams the scene into `context` (a caller's, such as a DXF stream) over the pane's frame.
  void ExportThroughContext(iContext& context);

  // ---- Off-screen pictures and printing (qxOffscreenRender).
  // The 1024 x 768 BMP file of the current view; false when no bitmap or file was made.
  bool RunOffscreenRenderThread(const Vcon::WString& fileName);
  // The 3D print of the current view into the page's image rectangle, then the header band.
  bool RunOffscreenPrintThread(ppDC& dc, const qxPrintPage& page);
  // The page's margins, image scale and image rectangle for the pane's frame size.
  void ComputePrintLayout(qxPrintPage& page) const;

  void DoCommand(int32_t command, intptr_t argument) override;
  ppView* FindViewAt(int32_t x, int32_t y) override;

 private:
  void FillScene(ppScene& scene);
  void RunPendingUpdates();
  void Repaint();
  // The value of the slider `id` (a link's, else the last one reported).
  int32_t SliderValue(int32_t id) const;
  // The base distance that puts the eye at its present distance from the centre at the distance
  // slider's present value; kept when that value is 0 or the eye stands at the centre.
  void TakeBaseDistance();
  ppVector3 OrbitCentre();

  std::array<std::unique_ptr<iRenderer>, 4> renderers_;
  std::array<std::string, 4> names_;
  int32_t yawValue_ = 0;
  int32_t pitchValue_ = 90;
  int32_t distanceValue_ = 245;
  const iPaneSlider* yawLink_ = nullptr;
  const iPaneSlider* pitchLink_ = nullptr;
  const iPaneSlider* distanceLink_ = nullptr;
  float baseDistance_ = kBaseDistance;
  // Where the sliders last put the eye; another place means the camera was moved meanwhile.
  bool placedBySliders_ = false;
  ppVector3 placedAt_;
};
