#include "scene3d/panes/qxPanePictures.h"

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "framework/ppPicture.h"
#include "platform/Gdi.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/ContextFlags.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/localWireframeRenderer.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/qxDibSurface.h"
#include "scene3d/panes/qxOffscreenRender.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

constexpr float kDegrees = 180.0f / std::numbers::pi_v<float>;

// `v` turned about the y axis by `angle` radians.
ppVector3 TurnY(const ppVector3& v, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return ppVector3(v.x * c + v.z * s, v.y, -v.x * s + v.z * c);
}

ppVector3 Plus(const ppVector3& a, const ppVector3& b) { return ppVector3(a.x + b.x, a.y + b.y, a.z + b.z); }

// The picture's drawing state: the memory bitmap and its GL context, the pane's view state saved and
// forced, and all of it put back in the destructor, whichever way the picture ends.
class PictureSession {
 public:
  PictureSession(zelvpro3DPane& pane, const plat::RECT& target)
      : pane_(pane),
        width_(target.right - target.left),
        height_(target.bottom - target.top),
        surface_(width_, height_),
        camera_(qxCameraRecords::Current()) {
    pane_.SetOffscreenBusy(true);
    if (!surface_.OK()) return;
    eyes_ = pane_.Eyes();
    style_ = pane_.RenderStyle();
    view_ = pane_.ViewIndex();
    saved_ = true;
    pane_.SetRenderStyle(2);
    pane_.SetViewIndex(2);
    pane_.SetOffscreenTarget(true);
    surface_.SetPixelFormat(qxDibSurface::kSoftwareFormat);
    context_ = std::make_unique<glContext>(surface_.DC(), true);
    context_->MakeCurrent(true);
    context_->SetViewport(0, 0, width_, height_);
  }
  ~PictureSession() {
    context_.reset();
    if (saved_) {
      pane_.Eyes() = eyes_;
      pane_.SetRenderStyle(style_);
      pane_.SetViewIndex(view_);
      pane_.SetOffscreenTarget(false);
    }
    qxCameraRecords::SetCurrent(camera_);
    pane_.SetOffscreenBusy(false);
  }
  PictureSession(const PictureSession&) = delete;
  PictureSession& operator=(const PictureSession&) = delete;

  bool OK() const { return context_ != nullptr; }
  glContext& Context() { return *context_; }
  float Aspect() const { return float(width_) / float(height_); }
  int32_t Height() const { return height_; }

  // A window point of `p` on the picture, y counted from the top (the context's mapping counts it so
  // already).
  ppVector3 Project(const ppVector3& p) { return context_->MapPointB(p); }

  void Render(iScene& scene, iRenderer* renderer) {
    if (renderer) renderer->Render(scene, context_.get());
  }

  // Finishes the drawing and copies the pixels out.
  std::unique_ptr<ppPicture> Finish() {
    context_->SwapBuffers(false);
    context_->MakeCurrent(false);
    pane_.SetOffscreenTarget(false);
    plat::GdiFlush();
    const plat::BITMAPINFOHEADER& header = surface_.Header();
    std::vector<uint8_t> packed(40 + header.biSizeImage);
    std::memcpy(packed.data(), &header, 40);
    std::memcpy(packed.data() + 40, surface_.Bits(), header.biSizeImage);
    return std::make_unique<ppPicture>(reinterpret_cast<const plat::BITMAPINFOHEADER*>(packed.data()));
  }

 private:
  zelvpro3DPane& pane_;
  int32_t width_;
  int32_t height_;
  qxDibSurface surface_;
  qxCamera* camera_;
  std::unique_ptr<glContext> context_;
  std::array<qx3DEyeRecord, 3> eyes_{};
  uint8_t style_ = 0;
  uint8_t view_ = 0;
  bool saved_ = false;
};

// The local camera of a picture: orthographic, fitted to `box`, made current and applied. Answers the
// picture's width in model millimetres: the orthographic view spans -1 to 1 across, in model
// millimetres times the lens and the scene's scale (1000 / lens).
float PlaceCamera(PictureSession& session, qxCamera& camera, const ppBounds3& box) {
  camera.FitView(session.Context(), box, 1.0f);
  qxCameraRecords::SetCurrent(&camera);
  camera.Apply(session.Context());
  return camera.lens != 0 ? 2.0f / (camera.lens * qxCamera::kSceneScale) : 1.0f;
}

std::unique_ptr<iRenderer> Standard() {
  return qxRenderFactory::Instance().FindByName(qxOffscreenRender::kRenderer);
}

}  // namespace

float qxPanePictures::FitScale(float ex, float ez, float aspect, float preset, float* modelWidth) {
  *modelWidth = 1.0f;
  if (!(ex > 0) && !(ez > 0)) return preset;
  const float s =
      ex <= aspect * ez ? (1000.0f / ez * 8.0f / aspect) / 500.0f : (1000.0f / ex * 8.0f) / 500.0f;
  *modelWidth = 8000.0f / (s * 500.0f);
  return s;
}

qxPictureResult qxPanePictures::Plan(zelvpro3DPane& pane, qxPictureItem* items,
                                     std::vector<qxPictureMark>* marks, const plat::RECT& target) {
  qxPictureResult result;
  PictureSession session(pane, target);
  if (!session.OK()) return result;
  i3DPaneHost& host = pane.Host();
  const ppBounds3 bounds = host.CanvasBounds(1.0f);
  const ppVector3 c = bounds.IsEmpty() ? ppVector3() : bounds.centre;
  const float ex = bounds.IsEmpty() ? 0 : 2 * bounds.half.x;
  const float ez = bounds.IsEmpty() ? 0 : 2 * bounds.half.z;
  qx3DEyeRecord& eye = pane.Eyes()[kPictureView];
  eye.scale = FitScale(ex, ez, session.Aspect(), eye.scale, &result.modelWidth);
  eye.eyeX = -c.x;
  eye.eyeZ = -c.z;
  eye.eyeY = 2000;
  eye.pitch = 90;
  eye.heading = 0;

  qxCamera camera;
  camera.kind = 1;
  camera.lens = 0.125f;
  camera.nearPlane = -170;
  camera.farPlane = 100;
  camera.position = ppVector3(c.x, 10000, c.z);
  camera.pitch = -90;
  camera.yaw = 0;
  result.modelWidth = PlaceCamera(session, camera, host.CanvasBounds(1.0f));

  bool first = true;
  for (qxPictureItem* item = items; item; item = item->next) {
    if (!item->element) continue;
    ppVector3 at = item->element->Position();
    const ppVector3 label = Plus(at, TurnY(item->element->ReferencePoint(), -item->element->Angle()));
    at.y = 0;
    item->window1 = session.Project(at);
    item->window2 = session.Project(label);
    result.minX = first ? item->window1.x : std::min(result.minX, item->window1.x);
    result.minY = first ? item->window1.y : std::min(result.minY, item->window1.y);
    first = false;
  }
  if (marks) {
    for (qxPictureMark& mark : *marks) {
      mark.windowA = session.Project(mark.a);
      mark.windowB = session.Project(mark.b);
    }
  }
  result.origin = session.Project(ppVector3(0, 0, 0));
  result.unit = session.Project(ppVector3(1, 1, 1));

  ppScene scene;
  host.AddSceneParts(scene);
  host.PublishPictureItems(items);
  const ppFloat4 background = host.SettingsColor(kBackgroundColor);
  host.SetSettingsColor(kBackgroundColor, ppFloat4(1, 1, 1, 1));
  std::unique_ptr<iRenderer> standard = Standard();
  session.Render(scene, standard.get());
  localWireframeRenderer wireframe;
  session.Render(scene, &wireframe);
  host.SetSettingsColor(kBackgroundColor, background);
  host.PublishPictureItems(nullptr);
  result.picture = session.Finish();
  return result;
}

qxPictureResult qxPanePictures::Elevation(zelvpro3DPane& pane, qxPictureItem* items, const plat::RECT& target,
                                          bool otherSide) {
  qxPictureResult result;
  // An empty list has no first element to take the angle from: no picture.
  if (!items || !items->element) return result;
  PictureSession session(pane, target);
  if (!session.OK()) return result;
  i3DPaneHost& host = pane.Host();
  float a = items->element->Angle();
  ppBounds3 box;
  ppBounds3 bodies;
  for (qxPictureItem* item = items; item; item = item->next) {
    i3DPaneElement* e = item->element;
    if (!e) continue;
    box.AddPoint(Plus(e->Position(), TurnY(e->ReferencePoint(), -a)));
    const ppBounds3 own = e->GetBounds(0x240, 1.0f);
    if (own.IsEmpty()) continue;
    const ppMatrix4 placement = e->AbsolutePlacement();
    for (int corner = 0; corner < 8; ++corner) {
      const ppVector3 p(own.centre.x + (corner & 1 ? own.half.x : -own.half.x),
                        own.centre.y + (corner & 2 ? own.half.y : -own.half.y),
                        own.centre.z + (corner & 4 ? own.half.z : -own.half.z));
      ppVector3 placed;
      placement.TransformPoint(placed, p);
      bodies.AddPoint(placed);
    }
  }
  box.AddPoint(ppVector3(box.centre.x, 0, box.centre.z));
  box.AddPoint(ppVector3(box.centre.x, host.RoomHeight(), box.centre.z));
  if (!bodies.IsEmpty()) box.AddBox(bodies);
  if (otherSide) a += std::numbers::pi_v<float>;
  const ppVector3 extent = TurnY(ppVector3(2 * box.half.x, 2 * box.half.y, 2 * box.half.z), a);
  qx3DEyeRecord& eye = pane.Eyes()[kPictureView];
  eye.scale = FitScale(std::fabs(extent.x), extent.y, session.Aspect(), eye.scale, &result.modelWidth);
  const ppVector3 back = TurnY(ppVector3(0, 0, 2000), -a);
  eye.eyeX = -box.centre.x - back.x;
  eye.eyeY = -box.centre.y - back.y;
  eye.eyeZ = -box.centre.z - back.z;
  eye.pitch = 0;
  eye.heading = a * kDegrees;

  qxCamera camera;
  camera.kind = 1;
  camera.lens = 0.125f;
  camera.nearPlane = -0.3f;
  camera.farPlane = 100;
  camera.position = ppVector3(eye.eyeX, eye.eyeY, eye.eyeZ);
  camera.pitch = 0;
  camera.yaw = -a * kDegrees;
  result.modelWidth = PlaceCamera(session, camera, box);

  ppScene scene;
  // Only the listed run's units stand before the room: another run's units would crowd its picture.
  host.AddRoomSceneParts(scene);
  for (qxPictureItem* item = items; item; item = item->next) {
    if (!item->element) continue;
    if (iScene* part = item->element->ScenePart()) scene.Add(part);
    item->window1 = session.Project(item->element->Position());
  }
  host.PublishPictureItems(items);
  const uint32_t flags = gContextFlags;
  gContextFlags &= ~(kContextOutlines | kContextDocumentView);
  std::unique_ptr<iRenderer> standard = Standard();
  session.Render(scene, standard.get());
  gContextFlags = flags;
  host.PublishPictureItems(nullptr);
  result.picture = session.Finish();
  return result;
}
