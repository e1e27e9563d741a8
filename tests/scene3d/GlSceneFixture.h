// A headless window with an OpenGL context of the 3D views made current on it, and pixel helpers.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "ColorApplication.h"
#include "framework/PixelFormatChoice.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "scene3d/gl/glContext.h"
#include "tests/framework/TestWindow.h"

class GlSceneFixture : public ::testing::Test {
 protected:
  static constexpr int32_t kWidth = 64;
  static constexpr int32_t kHeight = 48;

  void SetUp() override {
    plat::HeadlessDriver::Reset();
    app_ = std::make_unique<ColorApplication>();
    window_ = picture_tests::MakeTestWindow(kWidth, kHeight, 0x336699, &surface_);
    ASSERT_NE(surface_, nullptr);
    dc_ = plat::GetDC(window_);
    ASSERT_NE(ChoosePixelFormat(dc_, 32, 24, true), 0);
    context_ = std::make_unique<glContext>(dc_, false);
    ASSERT_TRUE(context_->IsValid());
    ASSERT_TRUE(context_->MakeCurrent(true));
    context_->SetViewport(0, 0, kWidth, kHeight);
  }
  void TearDown() override {
    context_.reset();
    plat::ReleaseDC(window_, dc_);
    app_.reset();
    plat::HeadlessDriver::Reset();
  }

  // Identity model view and an orthographic projection of -1..1 on both axes and in depth.
  void FlatView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  // The window's pixel (x, y from the top) as 0xRRGGBB, after the drawing is finished.
  uint32_t Pixel(int32_t x, int32_t y) {
    context_->SwapBuffers(true);
    return surface_->Pixel(x, y) & 0xFFFFFF;
  }

  std::unique_ptr<ColorApplication> app_;
  plat::HWND window_ = nullptr;
  plat::Surface* surface_ = nullptr;
  plat::HDC dc_ = nullptr;
  std::unique_ptr<glContext> context_;
};
