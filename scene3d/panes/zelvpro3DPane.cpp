#include "scene3d/panes/zelvpro3DPane.h"

#include <cmath>
#include <cstdlib>

#include "platform/ResetList.h"
#include "platform/Cursors.h"
#include "platform/WindowApi.h"
#include "scene3d/context/iRenderer.h"
#include "scene3d/context/ppDxfRenderer.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/panes/ContextFlags.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/iPaneSlider.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/qxOffscreenRender.h"
#include "scene3d/panes/qxPrintLayout.h"
#include "scene3d/renderers/RenderSettings.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

constexpr const char* kDefaultNames[3] = {"rGoodStandard", "rGoodHiddenLines", "rGoodWireframe"};
constexpr const char* kDepthRenderer = "rZBuffer";
constexpr uint32_t kBoundsFlags = 0x240;
constexpr float kFirstSideView1Pitch = 25.0f;
constexpr int32_t kView1Side = 8;

// User-interface thread, all of them.
std::string gRenderSettings;
std::string gRenderOptions;
bool gReloadRenderers = true;
bool gFirstShow = true;
zelvpro3DPane* gCurrentPane = nullptr;
i3DPaneHost* gHostUnderConstruction = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("document 3D pane", [] {
  gRenderSettings.clear();
  gRenderOptions.clear();
  gReloadRenderers = true;
  gFirstShow = true;
  gCurrentPane = nullptr;
  gHostUnderConstruction = nullptr;
});

// The next ";"-separated entry of `text` from `at`, which moves past it.
std::string NextEntry(const std::string& text, size_t& at) {
  if (at > text.size()) return {};
  const size_t end = std::min(text.find(';', at), text.size());
  std::string entry = text.substr(at, end - at);
  at = end + 1;
  return entry;
}

// The polygon offset the options text gives; `fallback` for a text that is no number.
float ParseOffset(const std::string& text, float fallback) {
  char* end = nullptr;
  const float value = std::strtof(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(value) ? value : fallback;
}

}  // namespace

zelvpro3DPane::zelvpro3DPane(plat::HWND window, const plat::RECT& frame, i3DPaneHost* host)
    : qx3DPane(window, frame, host) {
  // The base constructor's ResetView calls reach only the base's empty hook.
  for (uint8_t view = 0; view < 3; ++view) {
    SetViewIndex(view);
    ResetView();
  }
  SetViewIndex(0);
}

zelvpro3DPane::~zelvpro3DPane() {
  if (gCurrentPane == this) gCurrentPane = nullptr;
}

// ---- The window.

void zelvpro3DPane::RegisterClass() {
  plat::WNDCLASSA wc;
  wc.style = kClassStyle;
  wc.lpfnWndProc = WindowProc;
  wc.hCursor = plat::LoadCursorA(nullptr, plat::MAKEINTRESOURCEA(plat::IDC_ARROW));
  wc.lpszClassName = kClassName;
  plat::RegisterClassA(&wc);
}

zelvpro3DPane* zelvpro3DPane::Create(plat::HWND parent, const plat::RECT& rect, i3DPaneHost* host) {
  gHostUnderConstruction = host;
  plat::HWND window =
      plat::CreateWindowExA(0, kClassName, nullptr, kWindowStyle, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
  gHostUnderConstruction = nullptr;
  if (!window) return nullptr;
  plat::ShowWindow(window, plat::SW_HIDE);
  return static_cast<zelvpro3DPane*>(plat::GetPropA(window, kProperty));
}

plat::LRESULT zelvpro3DPane::WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                        plat::LPARAM lParam) {
  auto* pane = static_cast<zelvpro3DPane*>(plat::GetPropA(window, kProperty));
  if (message == plat::WM_CREATE && !pane && gHostUnderConstruction) {
    plat::RECT client{};
    plat::GetClientRect(window, &client);
    pane = new zelvpro3DPane(window, client, gHostUnderConstruction);
    plat::SetPropA(window, kProperty, pane);
    gCurrentPane = pane;
    return 0;
  }
  if (!pane) return plat::DefWindowProcA(window, message, wParam, lParam);
  if (message == plat::WM_DESTROY) {
    plat::RemovePropA(window, kProperty);
    delete pane;
    return 0;
  }
  // Alt turns arrow keys into system keys; with Alt they still navigate.
  if (message == plat::WM_SYSKEYDOWN && wParam >= plat::WPARAM(plat::VK_LEFT) &&
      wParam <= plat::WPARAM(plat::VK_DOWN))
    message = plat::WM_KEYDOWN;
  if (pane->HandleMessage(message, wParam, lParam) == 0)
    return plat::DefWindowProcA(window, message, wParam, lParam);
  return 0;
}

zelvpro3DPane* zelvpro3DPane::Current() { return gCurrentPane; }

// ---- Renderers.

void zelvpro3DPane::SetRenderSettings(const std::string& settings, const std::string& options) {
  gRenderSettings = settings;
  gRenderOptions = options;
  gReloadRenderers = true;
}

void zelvpro3DPane::LoadRenderers() {
  const qxRenderFactory& registry = qxRenderFactory::Instance();
  size_t at = 0;
  for (int32_t slot = 0; slot < 3; ++slot) {
    std::string name = NextEntry(gRenderSettings, at);
    std::unique_ptr<iRenderer> renderer = name.empty() ? nullptr : registry.FindByName(name);
    if (!renderer) {
      name = kDefaultNames[slot];
      renderer = registry.FindByName(name);
    }
    renderers_[size_t(slot)] = std::move(renderer);
    names_[size_t(slot)] = name;
  }
  renderers_[kDepthSlot] = registry.FindByName(kDepthRenderer);
  names_[kDepthSlot] = kDepthRenderer;
  if (!gRenderOptions.empty()) gPolygonOffset = ParseOffset(gRenderOptions, 1.0f);
  gReloadRenderers = false;
}

iRenderer* zelvpro3DPane::StyleRenderer() const {
  switch (RenderStyle()) {
    case kWireframe:
      return renderers_[kWireframeSlot].get();
    case kHiddenLines:
      return renderers_[kHiddenLinesSlot].get();
    default:
      return renderers_[kStandardSlot].get();
  }
}

// ---- Drawing.

void zelvpro3DPane::FillScene(ppScene& scene) { Host().AddSceneParts(scene); }

void zelvpro3DPane::RunPendingUpdates() {
  if (!PendingUpdate()) return;
  Host().RunPendingUpdates();
  SetPendingUpdate(false);
  SetRedrawAll(true);
}

void zelvpro3DPane::RenderWith(iContext* context, iRenderer* renderer, iScene* scene, bool setViewport) {
  if (!context) context = Shared3DContext::GetOrMake(DC());
  if (!context) return;
  if (auto* gl = dynamic_cast<glContext*>(context)) gl->MakeCurrent(true);
  RunPendingUpdates();
  if (setViewport) {
    context->SetViewport(Frame().left, Frame().top, FrameWidth(), FrameHeight());
    context->LoadIdentity();
    qxCameraRecords::Current()->Apply(*context);
  }
  if (renderer && scene) renderer->Render(*scene, context);
}

void zelvpro3DPane::RenderScene(plat::HDC) {
  glContext* context = Shared3DContext::GetOrMake(DC());
  if (!context || !context->MakeCurrent(true)) return;
  ppScene scene;
  FillScene(scene);
  if (gReloadRenderers || !renderers_[kDepthSlot]) LoadRenderers();
  SetContextOutlines(Outline());
  gContextFlags |= kContextDocumentView;
  RenderWith(context, StyleRenderer(), &scene, true);
  RenderWith(context, renderers_[kDepthSlot].get(), &scene, true);
  context->SwapBuffers(true);
  if (!gFirstShow) Host().Note3DViewDrawn();
}

bool zelvpro3DPane::RunOffscreenRenderThread(const Vcon::WString& fileName) {
  RunPendingUpdates();
  return qxOffscreenRender::RenderToFile(*this, fileName);
}

bool zelvpro3DPane::RunOffscreenPrintThread(ppDC& dc, const qxPrintPage& page) {
  RunPendingUpdates();
  return qxOffscreenRender::Print(*this, dc, page);
}

void zelvpro3DPane::ComputePrintLayout(qxPrintPage& page) const {
  qxPrintLayout::Compute(page, FrameWidth(), FrameHeight());
}

void zelvpro3DPane::ExportThroughContext(iContext& context) {
  RunPendingUpdates();
  ppScene scene;
  FillScene(scene);
  ppDxfRenderer renderer;
  context.SetViewport(Frame().left, Frame().top, FrameWidth(), FrameHeight());
  context.LoadIdentity();
  renderer.Render(scene, &context);
}

void zelvpro3DPane::Repaint() {
  Invalidate();
  plat::UpdateWindow(GetHWND());
}

// ---- Hooks.

void zelvpro3DPane::SetSliderLinks(const iPaneSlider* yaw, const iPaneSlider* pitch,
                                   const iPaneSlider* distance) {
  yawLink_ = yaw;
  pitchLink_ = pitch;
  distanceLink_ = distance;
}

int32_t zelvpro3DPane::SliderValue(int32_t id) const {
  switch (id) {
    case kYawSlider:
      return yawLink_ != nullptr ? yawLink_->Value() : yawValue_;
    case kPitchSlider:
      return pitchLink_ != nullptr ? pitchLink_->Value() : pitchValue_;
    default:
      return distanceLink_ != nullptr ? distanceLink_->Value() : distanceValue_;
  }
}

ppVector3 zelvpro3DPane::OrbitCentre() {
  const ppBounds3 bounds = Host().CanvasBounds(1.0f);
  return bounds.IsEmpty() ? ppVector3() : bounds.centre;
}

void zelvpro3DPane::TakeBaseDistance() {
  const qxCamera& camera = *qxCameraRecords::Current();
  const int32_t distance = SliderValue(kDistanceSlider);
  if (!camera.IsPerspective() || distance <= 0) return;
  const float present = (camera.position - OrbitCentre()).Length();
  // Less than a millimetre: no distance to keep (the base would put the eye at the centre for good).
  if (!(present >= 1.0f)) return;
  baseDistance_ = present * kDistanceSliderUnit / float(distance);
}

void zelvpro3DPane::SliderShown(int32_t id) {
  qx3DPane::SliderShown(id);
  if (gFirstShow) {
    gFirstShow = false;
    KeyDown(static_cast<signed char>(plat::VK_HOME), 0);
    Repaint();
  }
  // The distance slider still holds its value from before the press.
  TakeBaseDistance();
}

void zelvpro3DPane::SliderMoved(int32_t value, int32_t id) {
  if (value == 0) return;
  if (id == kYawSlider || id == kPitchSlider || id == kDistanceSlider) {
    if (id == kYawSlider) yawValue_ = value;
    if (id == kPitchSlider) pitchValue_ = value;
    if (id == kDistanceSlider) distanceValue_ = value;
    qxCamera& camera = *qxCameraRecords::Current();
    // Home, a key or a view point moved the eye: a turn keeps its present distance. (A distance
    // move cannot tell: its slider has already changed; its press's start took the base.)
    if (id != kDistanceSlider && (!placedBySliders_ || camera.position != placedAt_)) TakeBaseDistance();
    camera.yaw = float(SliderValue(kYawSlider));
    camera.pitch = float(SliderValue(kPitchSlider) - 90);
    const ppVector3 centre = OrbitCentre();
    if (camera.IsPerspective())
      camera.Place(centre, baseDistance_ * float(SliderValue(kDistanceSlider)) / kDistanceSliderUnit, 0.0f);
    else
      camera.position = centre;  // an orthographic scale is the zoom's, not the slider's
    placedBySliders_ = true;
    placedAt_ = camera.position;
  }
  Repaint();
}

void zelvpro3DPane::ResetView() {
  if (ViewIndex() > 2) return;
  qx3DEyeRecord& eye = Eye();
  eye.scale = 0.002f;
  const bool axonometric = ViewIndex() == 1;
  eye.pitch = axonometric ? kFirstSideView1Pitch : 0.0f;
  eye.side = axonometric ? kView1Side : 1;
  qx3DNavigation::PlaceEyeFromSide(*this, eye.side);
  eye.step = 15.0f;
}

void zelvpro3DPane::ClickedNothing(int32_t x, int32_t y) {
  const bool alt = IsAltKeyDown();
  std::vector<i3DPaneElement*> selection = Host().Selection();
  i3DPaneElement* element = qx3DPicking::Pick3DAt(*this, x, y);
  // Nothing under the point or nothing selected: nothing to move, and with Alt nothing to copy.
  if (!element || selection.empty()) return;
  // With Alt the copies are dragged: made only for a press on a unit, the selection is read again
  // once they are. The drag that starts now owns them.
  if (alt) {
    Host().PrepareAltDrag();
    selection = Host().Selection();
    if (selection.empty()) return;
  }
  uint32_t mask = 0x43;
  for (i3DPaneElement* selected : selection) mask &= selected->Flags();
  if ((element->Flags() & mask) != mask) {
    for (i3DPaneElement* selected : selection) {
      if ((selected->Flags() & mask) == mask) {
        element = selected;
        break;
      }
    }
  }
  selection.front()->ReleaseOutsideSnaps();
  Host().StartMoveTask(selection, element, x, y, alt);
}

void zelvpro3DPane::NavigateKey(int32_t virtualKey) {
  for (i3DPaneElement* element : Host().Selection()) element->NudgeByKey(virtualKey);
}

void zelvpro3DPane::NavigateCommand(int32_t command) {
  for (i3DPaneElement* element : Host().Selection()) element->RunKeyCommand(command);
}

void zelvpro3DPane::Rotate(float angle) { Host().RotateSelection(angle); }

// ---- Commands.

void zelvpro3DPane::DoCommand(int32_t command, intptr_t argument) {
  SetRedrawAll(true);
  i3DPaneHost& host = Host();
  switch (command) {
    case 31:
    case 32:
    case 33:
    case 34:
    case 35:
      SetHandledByKey(true);
      host.TopCanvasCommand(command, argument);
      return;
    case kDeleteSelection:
      host.TopCanvasCommand(command, argument);
      Invalidate();
      return;
    case 203:
      host.EditorRefresh();
      if (gCurrentPane) gCurrentPane->Invalidate();
      return;
    case 3001:
      if (host.CommandOptionOn()) host.ApplicationCommand(command, argument);
      return;
    case 3002:
    case 3003:
    case 3004:
    case 3006:
    case 3008:
      host.ApplicationCommand(command, argument);
      return;
    case 3022:
      host.TopCanvasCommand(command, 0);
      for (i3DPaneElement* element : host.Selection()) {
        NoteElementChanged(*element);
        Invalidate();
      }
      return;
    case 3037:
      host.PostUndoTask(argument);
      host.TopCanvasAfterEdit();
      return;
    case 3038:
    case 3039:
    case 3040:
    case 3046:
    case 3047:
      host.TopCanvasCommand(command, argument);
      return;
    case 3053:
      host.PostUndoTask(argument);
      Invalidate();
      return;
    case 3061:
      Invalidate();
      return;
    case kNavigate:
      if (NavigationTarget())
        qx3DNavigation::NavigateElement(*this, int32_t(argument));
      else
        qx3DNavigation::Navigate(*this, int32_t(argument));
      return;
    case 3081:
    case 3082: {
      host.RulerBroadcast();
      const auto* elements = reinterpret_cast<const std::vector<i3DPaneElement*>*>(argument);
      if (elements) {
        for (i3DPaneElement* element : *elements) {
          element->Select();
          if (command == 3082) NoteElementChanged(*element);
        }
      }
      Invalidate();
      return;
    }
    default:
      qx3DPane::DoCommand(command, argument);
  }
}

ppView* zelvpro3DPane::FindViewAt(int32_t x, int32_t y) {
  if (i3DPaneElement* element = qx3DPicking::Pick3DAt(*this, x, y)) {
    if (ppView* view = element->AsView()) return view;
  }
  return qx3DPane::FindViewAt(x, y);
}
