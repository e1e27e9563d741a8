// OpenGL contexts over windows and DIB sections: where the pixels land, how they meet 2D drawing,
// sharing between contexts, contexts and threads, and GLU picking.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "WaitWithDeadline.h"
#include "platform/Dib.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/Wgl.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

constexpr uint32_t kBackground = 0x336699;

int32_t SetFormat(HDC dc, DWORD flags, BYTE colorBits) {
  PIXELFORMATDESCRIPTOR request;
  request.dwFlags = flags;
  request.cColorBits = colorBits;
  request.cDepthBits = 32;
  int32_t format = ChoosePixelFormat(dc, &request);
  return SetPixelFormat(dc, format, &request) ? format : 0;
}

// A 24-bit (or 32-bit) DIB section selected into a memory context, with a format for OpenGL.
struct DibTarget {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
  BITMAPINFO info{};

  DibTarget(int32_t width, int32_t height, int32_t bitCount) {
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bitCount);
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
    SetFormat(dc, PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL, BYTE(bitCount));
  }
  ~DibTarget() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  // The bitmap's own bits as a surface, after GDI has written everything back.
  std::unique_ptr<Surface> Read() {
    GdiFlush();
    DibFormat format = DibLayout(info.bmiHeader, {});
    auto out = std::make_unique<Surface>(format.width, format.height);
    DibToSurface(format, static_cast<const uint8_t*>(bits), *out);
    return out;
  }
};

class GlWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "GlTestWindow";
    RegisterClassA(&wc);
    frame_ = CreateWindowExA(0, "GlTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                             nullptr, nullptr);
    HeadlessDriver::RunUntilIdle();
    surface_ = GetWindowSurface(frame_);
    ASSERT_NE(surface_, nullptr);
    surface_->Fill(kBackground);
    surface_->Touch();
  }
  void TearDown() override {
    wglMakeCurrent(nullptr, nullptr);
    for (HGLRC rc : contexts_) wglDeleteContext(rc);
    for (auto [window, dc] : dcs_) ReleaseDC(window, dc);
    HeadlessDriver::Reset();
  }

  HWND Child(RECT r) {
    return CreateWindowExA(0, "GlTestWindow", "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, frame_, nullptr, nullptr, nullptr);
  }
  // A window context with a single-buffered format and a rendering context made current on it.
  HDC Current(HWND window) {
    HDC dc = GetDC(window);
    dcs_.emplace_back(window, dc);
    EXPECT_NE(SetFormat(dc, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL, 32), 0);
    HGLRC rc = wglCreateContext(dc);
    EXPECT_NE(rc, nullptr);
    contexts_.push_back(rc);
    EXPECT_TRUE(wglMakeCurrent(dc, rc));
    return dc;
  }
  std::vector<uint32_t> Snapshot() const {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < surface_->Height(); ++y)
      for (int32_t x = 0; x < surface_->Width(); ++x) out.push_back(surface_->Pixel(x, y));
    return out;
  }

  HWND frame_ = nullptr;
  Surface* surface_ = nullptr;
  std::vector<HGLRC> contexts_;
  std::vector<std::pair<HWND, HDC>> dcs_;
};

TEST_F(GlWindow, FormatsFollowTheDeviceAndTheChoiceHonoursTheRequest) {
  HWND child = Child({10, 10, 60, 60});
  HDC dc = GetDC(child);
  PIXELFORMATDESCRIPTOR pfd;
  ASSERT_EQ(DescribePixelFormat(dc, 1, sizeof pfd, &pfd), 3);
  EXPECT_EQ(pfd.cColorBits, 32);
  EXPECT_EQ(pfd.cDepthBits, 24);
  EXPECT_EQ(DescribePixelFormat(dc, 4, sizeof pfd, &pfd), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PIXEL_FORMAT);

  PIXELFORMATDESCRIPTOR request;
  request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  request.cColorBits = 32;
  int32_t doubled = ChoosePixelFormat(dc, &request);
  ASSERT_GT(doubled, 0);
  DescribePixelFormat(dc, doubled, sizeof pfd, &pfd);
  EXPECT_EQ(pfd.dwFlags & (PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_GENERIC_FORMAT),
            PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_GENERIC_FORMAT);

  // No context yet: a rendering context cannot be made. A window keeps its first format.
  EXPECT_EQ(wglCreateContext(dc), nullptr);
  EXPECT_TRUE(SetPixelFormat(dc, doubled, &request));
  HDC second = GetDC(child);
  EXPECT_EQ(GetPixelFormat(second), doubled);
  EXPECT_FALSE(SetPixelFormat(second, doubled == 1 ? 2 : 1, &request));
  ReleaseDC(child, second);
  ReleaseDC(child, dc);

  // A 24-bit bitmap offers 24-bit formats, and formats at whatever depth its context's capabilities
  // report, so that a choice made from either succeeds.
  DibTarget dib(16, 16, 24);
  DescribePixelFormat(dib.dc, GetPixelFormat(dib.dc), sizeof pfd, &pfd);
  EXPECT_EQ(pfd.cColorBits, 24);
  EXPECT_TRUE(pfd.dwFlags & PFD_DRAW_TO_BITMAP);
  request.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL;
  request.cColorBits = BYTE(GetDeviceCaps(dib.dc, BITSPIXEL));
  DescribePixelFormat(dib.dc, ChoosePixelFormat(dib.dc, &request), sizeof pfd, &pfd);
  EXPECT_EQ(pfd.cColorBits, request.cColorBits);
}

TEST_F(GlWindow, ClearInAChildTouchesOnlyItsRectangle) {
  HWND child = Child({50, 40, 150, 120});
  std::vector<uint32_t> before = Snapshot();
  HDC dc = Current(child);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // Any context of the window finishes the drawing, not only the one the rendering context has.
  HDC other = GetDC(child);
  ASSERT_TRUE(SwapBuffers(other));
  ReleaseDC(child, other);
  std::vector<uint32_t> after = Snapshot();
  int32_t changedOutside = 0, red = 0;
  for (int32_t y = 0; y < 200; ++y)
    for (int32_t x = 0; x < 300; ++x) {
      bool inside = x >= 50 && x < 150 && y >= 40 && y < 120;
      size_t i = size_t(y) * 300 + size_t(x);
      if (inside)
        red += after[i] == 0xFF0000;
      else
        changedOutside += after[i] != before[i];
    }
  EXPECT_EQ(red, 100 * 80);
  EXPECT_EQ(changedOutside, 0);
}

TEST_F(GlWindow, ChildReachingOutsideItsFrameDrawsOnlyTheVisiblePart) {
  HWND child = Child({250, 150, 350, 250});
  HDC dc = Current(child);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  SwapBuffers(dc);
  EXPECT_EQ(surface_->Pixel(250, 150), 0x00FF00u);
  EXPECT_EQ(surface_->Pixel(299, 199), 0x00FF00u);
  EXPECT_EQ(surface_->Pixel(249, 150), kBackground);
}

TEST_F(GlWindow, ResizedFrameMovesThePixelsAndTheContextFollowsAtTheNextBind) {
  HWND child = Child({10, 10, 60, 60});
  HDC dc = Current(child);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // The frame's pixels are reallocated while the context is current with OpenGL drawing pending:
  // finishing it must not write where they were.
  MoveWindow(frame_, 0, 0, 600, 400, 1);
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(SwapBuffers(dc));
  ASSERT_TRUE(wglMakeCurrent(dc, wglGetCurrentContext()));
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  SwapBuffers(dc);
  Surface* grown = GetWindowSurface(frame_);
  EXPECT_EQ(grown->Width(), 600);
  EXPECT_EQ(grown->Pixel(10, 10), 0x0000FFu);
  EXPECT_EQ(grown->Pixel(59, 59), 0x0000FFu);
  EXPECT_NE(grown->Pixel(60, 60), 0x0000FFu);
}

// A window context kept across size changes (as the 3D pane keeps its own) draws where its window
// now is and as far as it now reaches: after the window moved and shrank, and after it grew again,
// OpenGL and GDI drawing through the same context land in its new rectangle.
TEST_F(GlWindow, AKeptContextFollowsItsWindowAsItMovesShrinksAndGrows) {
  HWND child = Child({10, 10, 110, 90});
  HDC dc = Current(child);
  HGLRC rc = wglGetCurrentContext();
  auto count = [&](uint32_t colour, RECT r) {
    int32_t n = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) n += surface_->Pixel(x, y) == colour;
    return n;
  };
  const struct {
    RECT rect;
    float red, green, blue;
    uint32_t colour;
  } steps[] = {{{40, 30, 100, 80}, 0, 0, 1, 0x0000FF}, {{40, 30, 240, 180}, 0, 1, 0, 0x00FF00}};
  for (const auto& step : steps) {
    const RECT& r = step.rect;
    MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, 1);
    HeadlessDriver::RunUntilIdle();
    surface_->Fill(kBackground);
    surface_->Touch();
    ASSERT_TRUE(wglMakeCurrent(dc, rc)) << "the context refused its window's new size";
    glClearColor(step.red, step.green, step.blue, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(count(step.colour, r), (r.right - r.left) * (r.bottom - r.top));
    EXPECT_EQ(count(step.colour, {0, 0, 300, 200}), (r.right - r.left) * (r.bottom - r.top));
    // GDI through the same context: its device origin is the window's new corner.
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    RECT corner{0, 0, 2, 2};
    FillRect(dc, &corner, black);
    DeleteObject(black);
    EXPECT_EQ(surface_->Pixel(r.left, r.top), 0u);
    EXPECT_EQ(surface_->Pixel(r.left - 1, r.top - 1), kBackground);
  }
}

TEST_F(GlWindow, ContextsOfTheSameSizeDoNotSeeEachOthersPixels) {
  // Two windows of their own (two surfaces) of one size, each with its context.
  HWND other = CreateWindowExA(0, "GlTestWindow", "", WS_POPUP | WS_VISIBLE, 400, 0, 300, 200, nullptr,
                               nullptr, nullptr, nullptr);
  HeadlessDriver::RunUntilIdle();
  Surface* otherSurface = GetWindowSurface(other);
  otherSurface->Fill(kBackground);
  otherSurface->Touch();
  HDC mine = Current(frame_);
  HGLRC mineRc = wglGetCurrentContext();
  SwapBuffers(mine);
  HDC theirs = Current(other);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  SwapBuffers(theirs);
  // Back on the first window: a small square drawn, the rest of the window keeps its pixels.
  ASSERT_TRUE(wglMakeCurrent(mine, mineRc));
  glViewport(0, 0, 300, 200);
  glColor3f(0, 1, 0);
  glRectf(-0.1f, -0.1f, 0.1f, 0.1f);
  SwapBuffers(mine);
  EXPECT_EQ(surface_->Pixel(150, 100), 0x00FF00u);
  EXPECT_EQ(surface_->Pixel(5, 5), kBackground);
  EXPECT_EQ(otherSurface->Pixel(5, 5), 0xFF0000u);
}

TEST_F(GlWindow, GlAndTwoDimensionalDrawingMeetInIssueOrder) {
  HWND child = Child({20, 20, 220, 170});
  HDC dc = Current(child);
  // 2D before OpenGL is made current again must survive the next OpenGL flush.
  RECT blue{0, 0, 20, 20};
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &blue, brush);
  DeleteObject(brush);
  HGLRC rc = wglGetCurrentContext();
  ASSERT_TRUE(wglMakeCurrent(dc, rc));

  glViewport(0, 0, 200, 150);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 200, 150, 0, -1, 1);  // y down, as the window counts
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3f(1, 0, 0);
  glBegin(GL_TRIANGLES);
  glVertex2f(100, 20);
  glVertex2f(180, 130);
  glVertex2f(20, 130);
  glEnd();
  glFlush();

  // A black line across the triangle, drawn after it.
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, 0, 100, nullptr);
  LineTo(dc, 200, 100);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  wglMakeCurrent(nullptr, nullptr);

  std::string dump = (std::filesystem::temp_directory_path() / "gl_triangle_line.png").string();
  ASSERT_TRUE(HeadlessDriver::DumpPng(child, dump));
  std::unique_ptr<Surface> png = ReadPng(dump);
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Pixel(100, 80), 0xFF0000u);    // inside the triangle
  EXPECT_EQ(png->Pixel(100, 100), 0x000000u);   // the line over it
  EXPECT_EQ(png->Pixel(5, 5), 0x0000FFu);       // 2D drawn before
  EXPECT_EQ(png->Pixel(190, 20), kBackground);  // untouched
  std::filesystem::remove(dump);
}

// Single pixels OpenGL changed (at both ends of the area's rows and between) reach the window; their
// neighbours keep the 2D drawn after OpenGL, and in a later frame only what OpenGL changed in that
// frame is copied.
TEST_F(GlWindow, SinglePixelsOpenGLChangedLandAndTheirNeighboursKeepTheirPixels) {
  const RECT area{30, 20, 290, 60};
  HDC dc = Current(Child(area));
  const int32_t height = area.bottom - area.top, row = 10;
  auto glPixel = [&](int32_t col) {
    glScissor(col, height - 1 - row, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  };
  glEnable(GL_SCISSOR_TEST);
  glClearColor(1, 0, 0, 1);
  const std::vector<int32_t> red = {0, 63, 64, 127, 128, 255, 256, 259};
  for (int32_t col : red) glPixel(col);
  RECT band{0, row, 260, row + 2};  // 2D after OpenGL, before the flush: loses only where they overlap
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &band, blue);
  DeleteObject(blue);
  glFlush();
  auto at = [&](int32_t col, int32_t r) { return surface_->Pixel(area.left + col, area.top + r); };
  for (int32_t col : red) EXPECT_EQ(at(col, row), 0xFF0000u) << col;
  for (int32_t col : {1, 62, 65, 126, 129, 254, 257, 258}) {
    EXPECT_EQ(at(col, row), 0x0000FFu) << col;
    EXPECT_EQ(at(col, row + 1), 0x0000FFu) << col;
    EXPECT_EQ(at(col, row - 1), kBackground) << col;
  }

  glPixel(62);
  SwapBuffers(dc);
  EXPECT_EQ(at(62, row), 0xFF0000u);
  EXPECT_EQ(at(61, row), 0x0000FFu);
  EXPECT_EQ(at(63, row), 0xFF0000u);
  EXPECT_EQ(at(65, row), 0x0000FFu);
  EXPECT_EQ(surface_->Pixel(area.left - 1, area.top + row), kBackground);
  EXPECT_EQ(surface_->Pixel(area.right, area.top + row), kBackground);
}

TEST(GlShare, TextureMadeInOneContextDrawsInASharingOne) {
  DibTarget first(8, 8, 32), second(8, 8, 32), alone(8, 8, 32);
  HGLRC a = wglCreateContext(first.dc);
  HGLRC b = wglCreateContext(second.dc);
  HGLRC c = wglCreateContext(alone.dc);
  ASSERT_TRUE(a && b && c);
  ASSERT_TRUE(wglShareLists(a, b));

  ASSERT_TRUE(wglMakeCurrent(first.dc, a));
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  const uint8_t green[4] = {0, 255, 0, 255};  // one texel, RGBA
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // A context already used cannot join another's lists.
  EXPECT_FALSE(wglShareLists(b, a));

  ASSERT_TRUE(wglMakeCurrent(second.dc, b));
  EXPECT_TRUE(glIsTexture(texture));
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  ASSERT_TRUE(wglMakeCurrent(alone.dc, c));
  EXPECT_FALSE(glIsTexture(texture));
  wglMakeCurrent(nullptr, nullptr);
  EXPECT_EQ(second.Read()->Pixel(4, 4), 0x00FF00u);

  EXPECT_TRUE(wglDeleteContext(a));
  EXPECT_TRUE(wglDeleteContext(b));
  EXPECT_TRUE(wglDeleteContext(c));
  EXPECT_FALSE(wglDeleteContext(c));
}

TEST(GlThreads, AContextIsCurrentOnOneThreadAtATime) {
  DibTarget target(8, 8, 32);
  HGLRC rc = wglCreateContext(target.dc);
  ASSERT_NE(rc, nullptr);
  ASSERT_TRUE(wglMakeCurrent(target.dc, rc));
  BOOL otherMade = 1, otherDeleted = 1;
  DWORD otherError = 0;
  testwait::RunOnOtherThread(
      [&] {
        otherMade = wglMakeCurrent(target.dc, rc);
        otherError = GetLastError();
        otherDeleted = wglDeleteContext(rc);
      },
      "a worker trying a context current elsewhere");
  EXPECT_FALSE(otherMade);
  EXPECT_EQ(otherError, ERROR_BUSY);
  EXPECT_FALSE(otherDeleted);
  // Released here, a worker may use it, and it draws into the same bitmap.
  wglMakeCurrent(nullptr, nullptr);
  testwait::RunOnOtherThread(
      [&] {
        otherMade = wglMakeCurrent(target.dc, rc);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        wglMakeCurrent(nullptr, nullptr);
      },
      "a worker drawing with a released context");
  EXPECT_TRUE(otherMade);
  EXPECT_EQ(target.Read()->Pixel(0, 0), 0x0000FFu);
  // A worker that ends with the context current leaves it released and its drawing finished.
  testwait::RunOnOtherThread(
      [&] {
        wglMakeCurrent(target.dc, rc);
        glClearColor(1, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
      },
      "a worker that ends with the context current");
  EXPECT_EQ(target.Read()->Pixel(0, 0), 0xFFFF00u);
  EXPECT_TRUE(wglMakeCurrent(target.dc, rc));
  wglMakeCurrent(nullptr, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(rc));  // current nowhere: deletable from any thread
}

// Draws a unit cube lit by one light, seen from above and to the side.
void DrawLitCube(int32_t width, int32_t height) {
  glViewport(0, 0, width, height);
  glClearColor(0.9f, 0.9f, 0.9f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  const GLfloat position[4] = {2, 3, 4, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40, double(width) / height, 0.5, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(3, 2.5, 4, 0, 0, 0, 0, 1, 0);
  glEnable(GL_COLOR_MATERIAL);
  glColor3f(0.8f, 0.5f, 0.2f);
  static const GLfloat faces[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  glBegin(GL_QUADS);
  for (const auto& n : faces) {
    glNormal3fv(n);
    // Two axes spanning the face, so that the corners go round it.
    GLfloat u[3] = {n[1] != 0 || n[2] != 0 ? 1.0f : 0.0f, n[0] != 0 ? 1.0f : 0.0f, 0};
    GLfloat v[3] = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2], n[0] * u[1] - n[1] * u[0]};
    const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
      glVertex3f(0.5f * (n[0] + c[0] * u[0] + c[1] * v[0]), 0.5f * (n[1] + c[0] * u[1] + c[1] * v[1]),
                 0.5f * (n[2] + c[0] * u[2] + c[1] * v[2]));
    }
  }
  glEnd();
}

TEST(GlPicture, LitCubeOnA24BitDibMatchesTheKeptImage) {
  DibTarget target(160, 120, 24);
  HGLRC rc = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, rc));
  DrawLitCube(160, 120);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(rc);
  std::unique_ptr<Surface> image = target.Read();
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/platform/gl_cube.png";
  if (std::getenv("PLANNER_WRITE_FIXTURES")) ASSERT_TRUE(WritePng(*image, kept));
  std::unique_ptr<Surface> expected = ReadPng(kept);
  ASSERT_NE(expected, nullptr) << "missing " << kept;
  PixelDifference diff = ComparePixels(*image, *expected, 8);
  EXPECT_TRUE(diff.sameSize);
  // Rasterisers may differ on a few edge pixels; the shading and the shape may not.
  EXPECT_LE(diff.pixels, 40) << "first difference at " << diff.firstX << "," << diff.firstY;
  EXPECT_NE(image->Pixel(80, 60), 0xE6E6E6u);  // the cube covers the middle
}

TEST(GlPicture, TwoDimensionalDrawingOnABitmapSurvivesOpenGLTheRightWayUp) {
  for (int32_t bits : {24, 32}) {
    DibTarget target(40, 30, bits);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255)), red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 40, 30}, topLeft{0, 0, 10, 10};
    FillRect(target.dc, &all, white);
    FillRect(target.dc, &topLeft, red);
    DeleteObject(white);
    DeleteObject(red);
    GdiFlush();
    HGLRC rc = wglCreateContext(target.dc);
    ASSERT_TRUE(wglMakeCurrent(target.dc, rc));
    glViewport(0, 0, 40, 30);
    glColor3f(0, 1, 0);
    glRectf(0.5f, -1, 1, -0.5f);  // the bottom-right corner, as OpenGL counts rows from the bottom
    // Bits written by hand while OpenGL is current stay under what OpenGL draws afterwards.
    GdiFlush();
    uint8_t* bottomLeft = static_cast<uint8_t*>(target.bits);  // rows are bottom-up
    bottomLeft[0] = 0;
    bottomLeft[1] = 0;
    bottomLeft[2] = 255;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc);
    std::unique_ptr<Surface> image = target.Read();
    EXPECT_EQ(image->Pixel(2, 2), 0xFF0000u) << bits << " bits";
    EXPECT_EQ(image->Pixel(37, 27), 0x00FF00u) << bits << " bits";
    EXPECT_EQ(image->Pixel(20, 15), 0xFFFFFFu) << bits << " bits";
    EXPECT_EQ(image->Pixel(0, 29), 0xFF0000u) << bits << " bits";
  }
}

// GLU's own calls must reach the same OpenGL as ours (the one drawing into our pixels).
TEST(GlGlu, TessellatorMipmapsAndProjectionWorkOnOurContext) {
  DibTarget target(64, 64, 24);
  HGLRC rc = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, rc));

  // A 3 by 3 BGR picture, not a power of two: GLU scales it and builds every level down to 1 by 1.
  uint8_t bgr[27] = {};  // three rows of three pixels, unpadded (alignment 1)
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (size_t i = 0; i < 27; i += 3) bgr[i] = 255;  // blue
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 3, 3, GL_BGR_EXT, GL_UNSIGNED_BYTE, bgr), 0);
  GLint width = 0, smallest = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &smallest);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(smallest, 1);

  // A concave outline with the odd winding rule becomes triangles covering it, and only it.
  struct Collected {
    int32_t vertices = 0;
  } collected;
  GLUtesselator* tess = gluNewTess();
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<void (*)()>(+[](GLenum mode) { glBegin(mode); }));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<void (*)()>(+[] { glEnd(); }));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<void (*)()>(+[](void* vertex, void* data) {
                    ++static_cast<Collected*>(data)->vertices;
                    glVertex3dv(static_cast<const GLdouble*>(vertex));
                  }));
  GLdouble outline[5][3] = {{-0.8, -0.8, 0}, {0.8, -0.8, 0}, {0.8, 0.8, 0}, {0, 0, 0}, {-0.8, 0.8, 0}};
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(0, 0, 0);
  gluTessBeginPolygon(tess, &collected);
  gluTessBeginContour(tess);
  for (int i = 0; i < 5; ++i) gluTessVertex(tess, outline[i], outline[i]);
  gluTessEndContour(tess);
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  EXPECT_GE(collected.vertices, 5);  // three triangles: a fan or a strip of five, or nine alone

  // Window point to scene and back.
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble wx = 0, wy = 0, wz = 0, ox = 0, oy = 0, oz = 0;
  ASSERT_TRUE(gluProject(0.5, -0.25, 0, model, projection, viewport, &wx, &wy, &wz));
  EXPECT_NEAR(wx, 48, 1e-6);
  EXPECT_NEAR(wy, 24, 1e-6);
  ASSERT_TRUE(gluUnProject(wx, wy, wz, model, projection, viewport, &ox, &oy, &oz));
  EXPECT_NEAR(ox, 0.5, 1e-9);
  EXPECT_NEAR(oy, -0.25, 1e-9);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(rc);

  // Rows are counted from the top here: the notch between the two upper corners stays white.
  std::unique_ptr<Surface> image = target.Read();
  EXPECT_EQ(image->Pixel(32, 50), 0x000000u);  // lower middle: inside
  EXPECT_EQ(image->Pixel(32, 12), 0xFFFFFFu);  // upper middle: the notch
  EXPECT_EQ(image->Pixel(9, 22), 0x000000u);   // left of the notch: inside
}

TEST(GlPicking, SelectModeReportsBothOverlappingQuadsWithTheirDepths) {
  DibTarget target(100, 100, 32);
  HGLRC rc = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, rc));
  glViewport(0, 0, 100, 100);
  GLuint buffer[64] = {};
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(50, 50, 3, 3, viewport);
  glOrtho(-1, 1, -1, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat depths[2] = {0.5f, -0.25f};  // z; this projection gives depth (1 - z) / 2
  for (GLuint name = 1; name <= 2; ++name) {
    glLoadName(name);
    GLfloat z = depths[name - 1];
    glBegin(GL_QUADS);
    glVertex3f(-0.5f, -0.5f, z);
    glVertex3f(0.5f, -0.5f, z);
    glVertex3f(0.5f, 0.5f, z);
    glVertex3f(-0.5f, 0.5f, z);
    glEnd();
  }
  // A quad away from the pick point gives no hit.
  glLoadName(3);
  glRectf(0.8f, 0.8f, 0.9f, 0.9f);
  GLint hits = glRenderMode(GL_RENDER);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(rc);
  ASSERT_EQ(hits, 2);
  // Each record: name count, zmin, zmax, names; the first quad is the nearer.
  EXPECT_EQ(buffer[0], 1u);
  EXPECT_EQ(buffer[3], 1u);
  EXPECT_EQ(buffer[4], 1u);
  EXPECT_EQ(buffer[7], 2u);
  EXPECT_LT(buffer[1], buffer[5]);
  EXPECT_NEAR(buffer[1] / 4294967295.0, 0.25, 0.01);
  EXPECT_NEAR(buffer[5] / 4294967295.0, 0.625, 0.01);
}

}  // namespace
}  // namespace plat
