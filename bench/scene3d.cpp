// The 3D view's drawing and picking through the scene, the renderers and our OpenGL context, in the
// same run against two peers: a plain loop of OpenGL calls over the display lists our renderer
// recorded, with the same lights and passes (what our passes add), and a plain loop drawing the same
// triangles, lights and passes straight from vertex arrays, one array per material, with no list of
// ours (what our whole path costs against a hand-written one).
//
// The scene: 40 units of about 4,800 triangles each (every fourth textured), their edge outlines, and
// four translucent fronts, at 1024 x 768 on a headless window. A frame is what the 3D pane does:
// the camera, "rGoodStandard", "rZBuffer", SwapBuffers. A click is the pick camera around the window's
// centre, "rPicker" in selection mode and the hits sorted. The sides take turns at going first from
// round to round. Prints the medians of the rounds and the ratios of the medians, ours / peer. Reach:
// frames per second ours / either peer >= 0.8; a pick's time ours / plain GL_SELECT <= 1.25 (ours
// at least 0.8 of the peer's speed), and ours under 50 ms.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "bench/Reach.h"
#include "foundation/ppMatrix4.h"
#include "framework/PixelFormatChoice.h"
#include "framework/ppPicture.h"
#include "platform/HeadlessDriver.h"
#include "platform/HeapThresholds.h"
#include "platform/WindowApi.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr int32_t kUnits = 40;
constexpr int32_t kGrid = 20;  // quads per side of each box face: 6 x 20 x 20 x 2 = 4,800 triangles
constexpr int32_t kFrames = 12;
constexpr int32_t kPicks = 40;
constexpr int32_t kRounds = 7;
constexpr double kLeast = 0.8;       // ours / a peer, in speed
constexpr double kPickLimit = 50.0;  // milliseconds a click's pick may take

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One face of a box, subdivided: corner o, edge vectors u and v, outward normal n.
void GridFace(iShape3D& shape, const float o[3], const float u[3], const float v[3], const float n[3]) {
  for (int32_t i = 0; i < kGrid; ++i)
    for (int32_t j = 0; j < kGrid; ++j) {
      auto corner = [&](int32_t a, int32_t b) {
        const float s = float(a) / kGrid, t = float(b) / kGrid;
        shape.TexCoord(s, t);
        shape.Normal(n[0], n[1], n[2]);
        shape.Vertex(o[0] + s * u[0] + t * v[0], o[1] + s * u[1] + t * v[1], o[2] + s * u[2] + t * v[2]);
      };
      shape.Begin(9);
      corner(i, j), corner(i + 1, j), corner(i + 1, j + 1);
      shape.End();
      shape.Begin(9);
      corner(i, j), corner(i + 1, j + 1), corner(i, j + 1);
      shape.End();
    }
}

// A 600 x 720 x 560 mm unit body with its corner at the origin, and its twelve edges.
void UnitShapes(iShape3D& faces, iShape3D& edges) {
  const float w = 600, h = 720, d = 560;
  const float faceData[6][4][3] = {
      {{0, 0, d}, {w, 0, 0}, {0, h, 0}, {0, 0, 1}},  {{w, 0, 0}, {-w, 0, 0}, {0, h, 0}, {0, 0, -1}},
      {{w, 0, d}, {0, 0, -d}, {0, h, 0}, {1, 0, 0}}, {{0, 0, 0}, {0, 0, d}, {0, h, 0}, {-1, 0, 0}},
      {{0, h, d}, {w, 0, 0}, {0, 0, -d}, {0, 1, 0}}, {{0, 0, 0}, {w, 0, 0}, {0, 0, d}, {0, -1, 0}}};
  for (const auto& f : faceData) GridFace(faces, f[0], f[1], f[2], f[3]);
  const float c[8][3] = {{0, 0, 0}, {w, 0, 0}, {w, h, 0}, {0, h, 0},
                         {0, 0, d}, {w, 0, d}, {w, h, d}, {0, h, d}};
  const int lines[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                            {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& l : lines) {
    edges.Begin(1);
    for (int i : l) edges.Vertex(c[i][0], c[i][1], c[i][2]);
    edges.End();
  }
}

// A unit's translucent front: one 600 x 720 mm polygon.
void FrontShape(iShape3D& front) {
  front.Begin(9);
  for (const float* p : {(const float[3]){0, 0, 0}, (const float[3]){600, 0, 0},
                         (const float[3]){600, 720, 0}, (const float[3]){0, 720, 0}}) {
    front.Normal(0, 0, 1);
    front.Vertex(p[0], p[1], p[2]);
  }
  front.End();
}

std::unique_ptr<ppPicture> Checker() {
  plat::BITMAPINFOHEADER h;
  h.biWidth = 64;
  h.biHeight = 64;
  h.biBitCount = 24;
  std::vector<uint8_t> dib(40 + 64 * 64 * 3);
  std::memcpy(dib.data(), &h, 40);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      uint8_t* p = dib.data() + 40 + (y * 64 + x) * 3;
      p[0] = p[1] = p[2] = ((x / 8 + y / 8) % 2) ? 200 : 90;
    }
  auto picture = std::make_unique<ppPicture>();
  picture->SetFromMemory(dib.data(), dib.size());
  return picture;
}

// Loads a picking name before the node draws, as plan elements do.
class NamedNode : public iScene {
 public:
  ppNode node;
  uint32_t name = 0;
  void Render(iRenderer& renderer) override {
    renderer.context->LoadName(name);
    node.Render(renderer);
  }
};

struct Scene {
  ppShape3D faces, edges, front;
  std::unique_ptr<ppPicture> texture = Checker();
  std::vector<std::unique_ptr<NamedNode>> units;  // the first four are the translucent fronts
  ppScene root;

  Scene() {
    UnitShapes(faces, edges);
    FrontShape(front);
    faces.Values().AppendReplacingPlaceholder(1);
    edges.Values().AppendReplacingPlaceholder(2);
    front.Values().AppendReplacingPlaceholder(3);
    for (int32_t i = 0; i < kUnits + 4; ++i) {
      auto unit = std::make_unique<NamedNode>();
      unit->name = uint32_t(i + 1);
      const bool translucent = i < 4;
      const int32_t slot = translucent ? i : i - 4;
      unit->node.transform.Translate(ppVector3(float(slot % 10) * 650.0f, 0,
                                               float(slot / 10) * 1200.0f + (translucent ? 565.0f : 0.0f)));
      unit->node.faces = translucent ? &front : &faces;
      unit->node.edges = &edges;
      unit->node.color = translucent ? ppFloat4(0.6f, 0.8f, 0.9f, 0.5f) : ppFloat4(0.8f, 0.7f, 0.5f, 1.0f);
      if (!translucent && slot % 4 == 0) unit->node.texture = texture.get();
      root.Add(unit.get());
      units.push_back(std::move(unit));
    }
  }
};

qxCamera Camera() {
  qxCamera camera;
  camera.position = ppVector3(2925, 2000, 9774);
  camera.pitch = -10;
  return camera;
}

// ---- The plain loop: the same lists, lights and passes in direct OpenGL calls.

void PlainProjection(const qxCamera& camera, bool pick) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (pick) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(kWidth / 2.0, kHeight / 2.0, 1, 1, viewport);
  }
  const float f = 1.0f / std::tan(camera.lens / 2.0f / 180.0f * float(M_PI));
  const float n = camera.nearPlane, r = camera.farPlane;
  GLfloat m[16] = {};
  m[0] = f / (float(kWidth) / kHeight), m[5] = f, m[10] = -2 / (r - n), m[11] = -1,
  m[14] = (-r - n) / (r - n);
  glMultMatrixf(m);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScaled(0.002, 0.002, 0.002);
  glRotated(-camera.pitch, 1, 0, 0);
  glRotated(-camera.yaw, 0, 1, 0);
  glTranslated(-camera.position.x, -camera.position.y, -camera.position.z);
}

void PlainList(const NamedNode& unit, uint32_t list) {
  glPushMatrix();
  glMultMatrixd(unit.node.transform.m);
  glCallList(list);
  glPopMatrix();
}

void PlainState(float r, float g, float b, GLbitfield clear) {
  glColorMask(1, 1, 1, 1);
  glDepthMask(1);
  glEnable(GL_COLOR_MATERIAL);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glClearColor(r, g, b, 1);
  glClear(clear);
}

void PlainFrame(const Scene& scene, const qxCamera& camera, GLuint texture) {
  glViewport(0, 0, kWidth, kHeight);
  PlainProjection(camera, false);
  PlainState(0.9f, 0.9f, 0.9f, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const GLfloat ambient[4] = {0.9f, 0.9f, 0.9f, 1}, lamp[4] = {5000, 20000, 3200, 1},
                grey[4] = {0.2f, 0.2f, 0.2f, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glLightfv(GL_LIGHT0, GL_POSITION, lamp);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, grey);
  glEnable(GL_LIGHT0);
  // Opaque faces.
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1, 1);
  glEnable(GL_LIGHTING);
  for (const auto& unit : scene.units) {
    if (unit->node.color.v[3] < 1) continue;
    glColor4fv(unit->node.color.v);
    if (unit->node.texture) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture);
    } else {
      glDisable(GL_TEXTURE_2D);
    }
    PlainList(*unit, unit->node.facesList);
  }
  // Edges.
  glDisable(GL_TEXTURE_2D);
  glDepthMask(0);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glDisable(GL_LIGHTING);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 0.2f);
  for (const auto& unit : scene.units) PlainList(*unit, unit->node.edgesList);
  // Translucent fronts, nearest first.
  std::vector<std::pair<double, const NamedNode*>> fronts;
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (const auto& unit : scene.units) {
    if (unit->node.color.v[3] >= 1) continue;
    glPushMatrix();
    glMultMatrixd(unit->node.transform.m);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    GLdouble x, y, z;
    gluProject(300, 360, 0, model, projection, viewport, &x, &y, &z);
    fronts.emplace_back(z, unit.get());
  }
  std::stable_sort(fronts.begin(), fronts.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  glEnable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.5f, 0.3f);
  for (const auto& [depth, unit] : fronts) {
    glColor4fv(unit->node.color.v);
    PlainList(*unit, unit->node.facesList);
  }
  glDisable(GL_BLEND);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_LIGHTING);
  glDepthMask(1);
  // The depth pass the pane draws after the view.
  glClear(GL_DEPTH_BUFFER_BIT);
  glColorMask(0, 0, 0, 0);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(0.5f, 0.5f);
  for (const auto& unit : scene.units) PlainList(*unit, unit->node.facesList);
  glColorMask(1, 1, 1, 1);
}

// ---- The array peer: the same triangles in plain vertex arrays, one per material, placed once.

// Collects what a shape receives as triangles (polygons fanned) and lines, moved by `offset`.
class ArrayRecorder : public iShape3D {
 public:
  struct Arrays {
    std::vector<float> positions, normals, texCoords;
    GLsizei Count() const { return GLsizei(positions.size() / 3); }
  };
  ArrayRecorder(Arrays& out, const ppVector3& offset) : out_(out), offset_(offset) {}
  void Begin(uint32_t mode) override { mode_ = mode, polygon_.clear(); }
  void TexCoord(float s, float t) override { s_ = s, t_ = t; }
  void Normal(float x, float y, float z) override { n_[0] = x, n_[1] = y, n_[2] = z; }
  void Vertex(float x, float y, float z) override {
    polygon_.push_back({x + offset_.x, y + offset_.y, z + offset_.z, n_[0], n_[1], n_[2], s_, t_});
  }
  void End() override {
    if (mode_ == GL_LINES) {
      for (const Corner& c : polygon_) Put(c);
      return;
    }
    for (size_t i = 2; i < polygon_.size(); ++i) Put(polygon_[0]), Put(polygon_[i - 1]), Put(polygon_[i]);
  }

 private:
  struct Corner {
    float x, y, z, nx, ny, nz, s, t;
  };
  void Put(const Corner& c) {
    out_.positions.insert(out_.positions.end(), {c.x, c.y, c.z});
    out_.normals.insert(out_.normals.end(), {c.nx, c.ny, c.nz});
    out_.texCoords.insert(out_.texCoords.end(), {c.s, c.t});
  }
  Arrays& out_;
  ppVector3 offset_;
  uint32_t mode_ = 0;
  float s_ = 0, t_ = 0, n_[3] = {0, 0, 1};
  std::vector<Corner> polygon_;
};

// The scene's triangles and lines by material: plain and textured bodies, the translucent fronts
// (each front's triangles in a run of its own) and every edge.
struct SceneArrays {
  ArrayRecorder::Arrays plain, textured, fronts, edges;
  std::vector<std::pair<GLint, const NamedNode*>> frontRuns;  // first vertex, node

  explicit SceneArrays(const Scene& scene) {
    for (const auto& unit : scene.units) {
      const double* m = unit->node.transform.m;
      const ppVector3 at(static_cast<float>(m[12]), static_cast<float>(m[13]),
                         static_cast<float>(m[14]));  // the units are only moved
      const bool translucent = unit->node.color.v[3] < 1;
      if (translucent) frontRuns.emplace_back(fronts.Count(), unit.get());
      ArrayRecorder faces(translucent ? fronts : unit->node.texture ? textured : plain, at), lines(edges, at);
      iShape3D none;
      UnitShapes(translucent ? none : faces, lines);
      if (translucent) FrontShape(faces);
    }
  }
};

void DrawArrays(const ArrayRecorder::Arrays& a, GLenum mode, bool normals, bool texture, GLint first = 0,
                GLsizei count = -1) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, a.positions.data());
  if (normals) glEnableClientState(GL_NORMAL_ARRAY), glNormalPointer(GL_FLOAT, 0, a.normals.data());
  if (texture)
    glEnableClientState(GL_TEXTURE_COORD_ARRAY), glTexCoordPointer(2, GL_FLOAT, 0, a.texCoords.data());
  glDrawArrays(mode, first, count < 0 ? a.Count() : count);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void ArrayFrame(const SceneArrays& arrays, const qxCamera& camera, GLuint texture) {
  glViewport(0, 0, kWidth, kHeight);
  PlainProjection(camera, false);
  PlainState(0.9f, 0.9f, 0.9f, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const GLfloat ambient[4] = {0.9f, 0.9f, 0.9f, 1}, lamp[4] = {5000, 20000, 3200, 1},
                grey[4] = {0.2f, 0.2f, 0.2f, 1}, body[4] = {0.8f, 0.7f, 0.5f, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glLightfv(GL_LIGHT0, GL_POSITION, lamp);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, grey);
  glEnable(GL_LIGHT0);
  // Opaque faces.
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1, 1);
  glEnable(GL_LIGHTING);
  glColor4fv(body);
  glDisable(GL_TEXTURE_2D);
  DrawArrays(arrays.plain, GL_TRIANGLES, true, false);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  DrawArrays(arrays.textured, GL_TRIANGLES, true, true);
  // Edges.
  glDisable(GL_TEXTURE_2D);
  glDepthMask(0);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_LIGHTING);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 0.2f);
  DrawArrays(arrays.edges, GL_LINES, false, false);
  // Translucent fronts, nearest first.
  std::vector<std::pair<double, size_t>> order;
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (size_t i = 0; i < arrays.frontRuns.size(); ++i) {
    const double* m = arrays.frontRuns[i].second->node.transform.m;
    GLdouble x, y, z;
    gluProject(m[12] + 300, m[13] + 360, m[14], model, projection, viewport, &x, &y, &z);
    order.emplace_back(z, i);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  glEnable(GL_LIGHTING);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.5f, 0.3f);
  for (const auto& [depth, i] : order) {
    const GLint first = arrays.frontRuns[i].first;
    const GLint end = i + 1 < arrays.frontRuns.size() ? arrays.frontRuns[i + 1].first : arrays.fronts.Count();
    glColor4fv(arrays.frontRuns[i].second->node.color.v);
    DrawArrays(arrays.fronts, GL_TRIANGLES, true, false, first, end - first);
  }
  glDisable(GL_BLEND);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_LIGHTING);
  glDepthMask(1);
  // The depth pass the pane draws after the view.
  glClear(GL_DEPTH_BUFFER_BIT);
  glColorMask(0, 0, 0, 0);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(0.5f, 0.5f);
  for (const ArrayRecorder::Arrays* a : {&arrays.plain, &arrays.textured, &arrays.fronts})
    DrawArrays(*a, GL_TRIANGLES, false, false);
  glColorMask(1, 1, 1, 1);
}

uint32_t PlainPick(const Scene& scene, const qxCamera& camera) {
  GLuint select[512];
  glSelectBuffer(512, select);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  PlainProjection(camera, true);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_LIGHTING);
  for (const auto& unit : scene.units) {
    glLoadName(unit->name);
    PlainList(*unit, unit->node.facesList);
  }
  glPopName();
  const GLint hits = glRenderMode(GL_RENDER);
  uint32_t nearest = 0, depth = UINT32_MAX;
  for (GLint i = 0, at = 0; i < hits; ++i, at += 3 + GLint(select[at])) {
    if (select[at + 1] <= depth) depth = select[at + 1], nearest = select[at + 3];
  }
  return nearest;
}

// ---- Ours.

void OurFrame(Scene& scene, glContext& context, const qxCamera& camera, iRenderer& standard,
              iRenderer& depth) {
  context.MakeCurrent(true);
  context.SetViewport(0, 0, kWidth, kHeight);
  camera.Apply(context);
  standard.Render(scene.root, &context);
  depth.Render(scene.root, &context);
  context.SwapBuffers(true);
}

uint32_t OurPick(Scene& scene, glContext& context, const qxCamera& camera) {
  context.MakeCurrent(true);
  context.SetPickMode(true);
  camera.SetUpPick(context, kWidth / 2.0f, kHeight / 2.0f, 1, 1);
  auto picker = qxRenderFactory::Instance().FindByName("rPicker");
  picker->Render(scene.root, &context);
  context.SetPickMode(false);
  return context.GetPickHit(0);
}

}  // namespace

int main() {
  using namespace plat;
  KeepFreedHeapMemoryMapped();  // as the program at start-up: this benchmark makes no handle zone
  HeadlessDriver::Reset();
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "BenchScene3d";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "BenchScene3d", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                                nullptr, nullptr, nullptr);
  HeadlessDriver::RunUntilIdle();
  HDC dc = GetDC(window);
  ChoosePixelFormat(dc, 32, 24, true);
  Scene scene;
  const qxCamera camera = Camera();
  double ms = 0;
  {
    glContext context(dc, false);
    if (!context.MakeCurrent(true)) {
      std::fprintf(stderr, "scene3d: no context on the window\n");
      return 1;
    }
    auto standard = qxRenderFactory::Instance().FindByName("rGoodStandard");
    auto depth = qxRenderFactory::Instance().FindByName("rZBuffer");
    OurFrame(scene, context, camera, *standard, *depth);  // records the lists and the texture
    const GLuint texture = scene.units[4]->node.textureName;
    std::printf("scene: %d units, %zu triangles, %d x %d; %d frames and %d picks a round\n", kUnits,
                size_t(kUnits) * 6 * kGrid * kGrid * 2 + 8, kWidth, kHeight, kFrames, kPicks);

    const SceneArrays arrays(scene);
    std::vector<double> plainFps, arrayFps, ourFps, plainPick, ourPick;
    uint32_t ourHit = 0, plainHit = 0;
    const auto plainFrames = [&] {
      Clock::time_point start = Clock::now();
      for (int32_t f = 0; f < kFrames; ++f) {
        wglMakeCurrent(dc, context.GetRenderingContext());
        PlainFrame(scene, camera, texture);
        plat::SwapBuffers(dc);
      }
      plainFps.push_back(kFrames / Seconds(start));
      start = Clock::now();
      for (int32_t p = 0; p < kPicks; ++p) {
        wglMakeCurrent(dc, context.GetRenderingContext());
        plainHit = PlainPick(scene, camera);
      }
      plainPick.push_back(Seconds(start) / kPicks * 1000);
    };
    const auto arrayFrames = [&] {
      const Clock::time_point start = Clock::now();
      for (int32_t f = 0; f < kFrames; ++f) {
        wglMakeCurrent(dc, context.GetRenderingContext());
        ArrayFrame(arrays, camera, texture);
        plat::SwapBuffers(dc);
      }
      arrayFps.push_back(kFrames / Seconds(start));
    };
    const auto ourFrames = [&] {
      Clock::time_point start = Clock::now();
      for (int32_t f = 0; f < kFrames; ++f) OurFrame(scene, context, camera, *standard, *depth);
      ourFps.push_back(kFrames / Seconds(start));
      start = Clock::now();
      for (int32_t p = 0; p < kPicks; ++p) ourHit = OurPick(scene, context, camera);
      ourPick.push_back(Seconds(start) / kPicks * 1000);
    };
    // Each side goes first, second and third in turn.
    const std::function<void()> sides[3] = {plainFrames, ourFrames, arrayFrames};
    for (int32_t round = 0; round < kRounds; ++round)
      for (int32_t k = 0; k < 3; ++k) sides[(round + k) % 3]();
    ms = Median(ourPick);
    std::printf("frames, display-list loop:  %8.2f frames/s (median of %d rounds)\n", Median(plainFps),
                kRounds);
    std::printf("frames, vertex-array loop:  %8.2f frames/s\n", Median(arrayFps));
    std::printf("frames, ours:               %8.2f frames/s\n", Median(ourFps));
    std::printf("pick, plain GL_SELECT:      %8.2f ms (hit %u)\n", Median(plainPick), plainHit);
    std::printf("pick, ours:                 %8.2f ms (hit %u)\n", ms, ourHit);
    bench::ReachAtLeast("scene3d frames/s ours / display-list loop", Median(ourFps) / Median(plainFps),
                        kLeast);
    bench::ReachAtLeast("scene3d frames/s ours / vertex arrays", Median(ourFps) / Median(arrayFps), kLeast);
    bench::ReachAtMost("scene3d pick time ours / plain GL_SELECT", ms / Median(plainPick), 1.0 / kLeast);
    bench::ReachAtMost("scene3d pick ours, ms", ms, kPickLimit);
    context.MakeCurrent(false);
  }
  ReleaseDC(window, dc);
  HeadlessDriver::Reset();
  return bench::ReachStatus();
}
