// OpenGL through our contexts against Mesa's off-screen interface used directly, on the same scene.
//
// The scene is a lit sphere of 50,000 triangles (vertex arrays with normals, one light, depth test),
// drawn at 1024 x 768. Our path draws into a top-level window's surface on the headless driver:
// each frame makes the context current on the window's context and ends with SwapBuffers, as the 3D
// view does. The peer binds an off-screen context to a buffer of its own once and ends each frame with
// glFinish. Prints the median frames per second of each over alternating rounds, and the median ratio.
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

#include "platform/HeadlessDriver.h"
#include "platform/Wgl.h"
#include "platform/WindowApi.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr int32_t kFrames = 60;
constexpr int32_t kRounds = 6;
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

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double OursFramesPerSecond(const Mesh& mesh) {
  using namespace plat;
  HeadlessDriver::Reset();
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "BenchGl";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "BenchGl", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                                nullptr, nullptr, nullptr);
  HeadlessDriver::RunUntilIdle();
  HDC dc = GetDC(window);
  PIXELFORMATDESCRIPTOR request;
  request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  request.cColorBits = 32;
  request.cDepthBits = 32;
  SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request);
  HGLRC rc = wglCreateContext(dc);
  if (!rc || !wglMakeCurrent(dc, rc)) {
    std::fprintf(stderr, "gl: no context on the window\n");
    return 0;
  }
  DrawScene(mesh, 0);  // warm-up: shader compilation
  SwapBuffers(dc);
  Clock::time_point start = Clock::now();
  for (int32_t frame = 1; frame <= kFrames; ++frame) {
    wglMakeCurrent(dc, rc);
    DrawScene(mesh, frame);
    SwapBuffers(dc);
  }
  double seconds = Seconds(start);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(rc);
  ReleaseDC(window, dc);
  HeadlessDriver::Reset();
  return kFrames / seconds;
}

double DirectFramesPerSecond(const Mesh& mesh) {
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 8, 0, nullptr);
  if (!context || !OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, kWidth, kHeight)) {
    std::fprintf(stderr, "gl: no off-screen context\n");
    return 0;
  }
  OSMesaPixelStore(OSMESA_Y_UP, 0);
  DrawScene(mesh, 0);
  glFinish();
  Clock::time_point start = Clock::now();
  for (int32_t frame = 1; frame <= kFrames; ++frame) {
    DrawScene(mesh, frame);
    glFinish();
  }
  double seconds = Seconds(start);
  OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
  OSMesaDestroyContext(context);
  return kFrames / seconds;
}

}  // namespace

int main() {
  Mesh mesh = Sphere();
  std::printf("scene: %zu triangles at %d x %d, %d frames each\n", mesh.vertices.size() / 9, kWidth, kHeight,
              kFrames);
  // Alternating rounds: on a shared machine each round's pair meets the same load, so the median of
  // the rounds' ratios is steadier than any one figure.
  std::vector<double> direct, ours, ratios;
  for (int32_t round = 0; round < kRounds; ++round) {
    // Each side goes first in every other round.
    if (round % 2 == 0) direct.push_back(DirectFramesPerSecond(mesh));
    ours.push_back(OursFramesPerSecond(mesh));
    if (round % 2 == 1) direct.push_back(DirectFramesPerSecond(mesh));
    ratios.push_back(direct.back() > 0 ? ours.back() / direct.back() : 0.0);
  }
  std::printf("off-screen Mesa directly: %8.1f frames/s (median of %d rounds)\n", Median(direct), kRounds);
  std::printf("our context on a window:  %8.1f frames/s\n", Median(ours));
  std::printf("ratio (ours / direct):    %8.3f (median of the rounds' ratios)\n", Median(ratios));
  return 0;
}
