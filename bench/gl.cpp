// OpenGL through our contexts against Mesa's off-screen interface used directly, on the same scene.
//
// The scene is a lit sphere of 50,000 triangles (vertex arrays with normals, one light, depth test),
// drawn at 1024 x 768. Our path draws into a top-level window's surface on the headless driver:
// each frame makes the context current on the window's context and ends with SwapBuffers, as the 3D
// view does. The peer binds an off-screen context to a buffer of its own and ends each frame with
// glFinish. The two take turns in short slices of frames, each slice after one untimed frame; prints
// each round's frames per second and ratio, the medians over the rounds and the ratios' spread.
// The allocator's thresholds are fixed first, as the program fixes them at start-up (HeapThresholds.h),
// so both sides, in the same process, draw under the same thresholds.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/Reach.h"
#include "platform/HeadlessDriver.h"
#include "platform/HeapThresholds.h"
#include "platform/Wgl.h"
#include "platform/WindowApi.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr int32_t kRounds = 6;
// Our frames per second against Mesa's directly: the median of the rounds' ratios reaches this.
constexpr double kLeast = 0.9;
// Each side draws kSlices x kSliceFrames timed frames a round, in slices taking turns with the other.
// Short slices keep the two sides under the same load: on a busy machine a round's ratio then varies
// by a few percent instead of by a quarter.
constexpr int32_t kSlices = 20;
constexpr int32_t kSliceFrames = 3;
// 2 x 125 x 200 = 50,000 triangles.
constexpr int32_t kRings = 125;
constexpr int32_t kSegments = 200;

struct Mesh {
  std::vector<float> vertices;  // x, y, z per corner, three corners per triangle
  std::vector<float> normals;
};

Mesh Sphere() {
  Mesh mesh;
  auto corner = [&](int32_t ring, int32_t segment) {
    double theta = M_PI * ring / kRings, phi = 2 * M_PI * segment / kSegments;
    float x = float(std::sin(theta) * std::cos(phi)), y = float(std::cos(theta));
    float z = float(std::sin(theta) * std::sin(phi));
    mesh.vertices.insert(mesh.vertices.end(), {x, y, z});
    mesh.normals.insert(mesh.normals.end(), {x, y, z});
  };
  for (int32_t r = 0; r < kRings; ++r) {
    for (int32_t s = 0; s < kSegments; ++s) {
      corner(r, s), corner(r + 1, s), corner(r + 1, s + 1);
      corner(r, s), corner(r + 1, s + 1), corner(r, s + 1);
    }
  }
  return mesh;
}

void DrawScene(const Mesh& mesh, int32_t frame) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0.9f, 0.9f, 0.9f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  const GLfloat light[4] = {3, 4, 5, 1};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, double(kWidth) / kHeight, 0.5, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  gluLookAt(0, 1, 3.2, 0, 0, 0, 0, 1, 0);
  glRotatef(float(frame) * 3.0f, 0, 1, 0);
  glColor3f(0.7f, 0.5f, 0.3f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
  glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
  glDrawArrays(GL_TRIANGLES, 0, GLsizei(mesh.vertices.size() / 3));
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One way of drawing the scene. A slice makes the side's context current, draws one untimed frame
// (it takes in whatever changed while the other side drew), times its frames and lets go again.
class Side {
 public:
  virtual ~Side() = default;
  virtual bool Ready() const = 0;
  virtual void Enter() = 0;
  virtual void Frame(const Mesh& mesh, int32_t frame) = 0;
  virtual void Leave() = 0;

  double Slice(const Mesh& mesh, int32_t firstFrame) {
    Enter();
    Frame(mesh, firstFrame - 1);
    Clock::time_point start = Clock::now();
    for (int32_t frame = firstFrame; frame < firstFrame + kSliceFrames; ++frame) Frame(mesh, frame);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Leave();
    return seconds;
  }
};

// Our path: a top-level window's surface on the headless driver; each frame makes the context
// current on the window's context and ends with SwapBuffers, as the 3D view does.
class Ours : public Side {
 public:
  Ours() {
    using namespace plat;
    HeadlessDriver::Reset();
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BenchGl";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, "BenchGl", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                              nullptr, nullptr, nullptr);
    HeadlessDriver::RunUntilIdle();
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR request;
    request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    request.cColorBits = 32;
    request.cDepthBits = 32;
    SetPixelFormat(dc_, ChoosePixelFormat(dc_, &request), &request);
    rc_ = wglCreateContext(dc_);
  }
  ~Ours() override {
    using namespace plat;
    if (rc_) wglDeleteContext(rc_);
    ReleaseDC(window_, dc_);
    HeadlessDriver::Reset();
  }
  bool Ready() const override { return rc_ != nullptr; }
  void Enter() override {}
  void Frame(const Mesh& mesh, int32_t frame) override {
    plat::wglMakeCurrent(dc_, rc_);
    DrawScene(mesh, frame);
    plat::SwapBuffers(dc_);
  }
  void Leave() override { plat::wglMakeCurrent(nullptr, nullptr); }

 private:
  plat::HWND window_ = nullptr;
  plat::HDC dc_ = nullptr;
  plat::HGLRC rc_ = nullptr;
};

// The peer: an off-screen context bound to a buffer of its own, each frame ending with glFinish.
class Direct : public Side {
 public:
  Direct() : pixels_(size_t(kWidth) * kHeight) {
    context_ = OSMesaCreateContextExt(OSMESA_BGRA, 24, 8, 0, nullptr);
  }
  ~Direct() override {
    if (context_) OSMesaDestroyContext(context_);
  }
  bool Ready() const override { return context_ != nullptr; }
  void Enter() override {
    OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, kWidth, kHeight);
    OSMesaPixelStore(OSMESA_Y_UP, 0);
  }
  void Frame(const Mesh& mesh, int32_t frame) override {
    DrawScene(mesh, frame);
    glFinish();
  }
  void Leave() override { OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0); }

 private:
  std::vector<uint32_t> pixels_;
  OSMesaContext context_ = nullptr;
};

}  // namespace

int main() {
  plat::KeepFreedHeapMemoryMapped();
  Mesh mesh = Sphere();
  std::printf("scene: %zu triangles at %d x %d, %d rounds of %d frames each side, in slices of %d\n",
              mesh.vertices.size() / 9, kWidth, kHeight, kRounds, kSlices * kSliceFrames, kSliceFrames);
  Ours ours;
  Direct direct;
  if (!ours.Ready() || !direct.Ready()) {
    std::fprintf(stderr, "gl: no context\n");
    return 1;
  }
  // A round alternates the two sides slice by slice (first, second, second, first, ...), and the side
  // that starts alternates from round to round: on a shared machine both sides of a round then meet
  // the same load, so the median of the rounds' ratios is steadier than any one figure.
  std::vector<double> directFps, oursFps, ratios;
  for (int32_t round = 0; round < kRounds; ++round) {
    double seconds[2] = {0, 0};
    Side* sides[2] = {&direct, &ours};
    for (int32_t slice = 0; slice < 2 * kSlices; ++slice) {
      int32_t which = (round + (slice + 1) / 2) % 2;
      // Both sides draw the same frames: each slice's frames follow on from the side's previous slice.
      int32_t firstFrame = 2 + (slice / 2) * (kSliceFrames + 1);
      seconds[which] += sides[which]->Slice(mesh, firstFrame);
    }
    directFps.push_back(kSlices * kSliceFrames / seconds[0]);
    oursFps.push_back(kSlices * kSliceFrames / seconds[1]);
    ratios.push_back(oursFps.back() / directFps.back());
    std::printf("round %d (%s first): direct %6.1f, ours %6.1f frames/s, ratio %.3f\n", round + 1,
                round % 2 == 0 ? "direct" : "ours", directFps.back(), oursFps.back(), ratios.back());
  }
  std::vector<double> sorted = ratios;
  std::sort(sorted.begin(), sorted.end());
  std::printf("off-screen Mesa directly: %8.1f frames/s (median of %d rounds)\n", Median(directFps), kRounds);
  std::printf("our context on a window:  %8.1f frames/s\n", Median(oursFps));
  std::printf("rounds' ratios (ours / direct): %.3f-%.3f\n", sorted.front(), sorted.back());
  bench::ReachAtLeast("gl ours / Mesa directly, frames/s", Median(ratios), kLeast);
  return bench::ReachStatus();
}
