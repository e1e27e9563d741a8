// Plan and elevation pictures of the pane: the fit scale, the picture's pixels and item window points,
// and the pane's view state put back afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ColorApplication.h"
#include "PaneTestDoubles.h"
#include "framework/ppPicture.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/qxPanePictures.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "tests/framework/TestWindow.h"

namespace {

using pane_tests::BoxElement;

// Colour 1022 lives in the application, as the renderers read it.
class ColorHost : public pane_tests::TestHost {
 public:
  ColorApplication* app = nullptr;
  ppFloat4 SettingsColor(int32_t id) override { return app->GetColorF(id); }
  void SetSettingsColor(int32_t id, const ppFloat4& color) override { app->colors[id] = color; }
  void PublishPictureItems(qxPictureItem* items) override { published.push_back(items); }
  std::vector<qxPictureItem*> published;
};

TEST(PanePicturesFitTest, ScaleFromTheLimitingSideAndEmptyExtentKeepsThePreset) {
  float units = 0;
  EXPECT_FLOAT_EQ(qxPanePictures::FitScale(4000, 3000, 1, 0.002f, &units), 0.004f);
  EXPECT_FLOAT_EQ(units, 4000);
  EXPECT_FLOAT_EQ(qxPanePictures::FitScale(3000, 4000, 1, 0.002f, &units), 0.004f);  // from the height
  EXPECT_FLOAT_EQ(qxPanePictures::FitScale(2000, 4000, 2, 0.002f, &units), 0.002f);
  EXPECT_FLOAT_EQ(qxPanePictures::FitScale(0, 0, 1, 0.0025f, &units), 0.0025f);
  EXPECT_FLOAT_EQ(units, 1);
}

class PanePicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100000);
    app_ = std::make_unique<ColorApplication>();
    app_->colors[1022] = {0.8f, 0.8f, 0.8f, 1};
    host_.app = app_.get();
    frame_ = picture_tests::MakeTestWindow(400, 300, 0x336699, &surface_);
    zelvpro3DPane::RegisterClass();
    left_ = std::make_unique<BoxElement>(7, ppVector3(-700, 500, 0), 500);
    right_ = std::make_unique<BoxElement>(8, ppVector3(700, 500, 0), 500);
    host_.elements = {left_.get(), right_.get()};
    pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, 400, 300}, &host_);
    ASSERT_NE(pane_, nullptr);
    items_[0].element = left_.get();
    items_[0].next = &items_[1];
    items_[1].element = right_.get();
  }
  void TearDown() override {
    plat::DestroyWindow(pane_->GetHWND());
    Shared3DContext::Delete();
    app_.reset();
    plat::HeadlessDriver::Reset();
  }
  static uint32_t At(const ppPicture& picture, int32_t x, int32_t y) {
    const std::vector<uint8_t> bgr = picture.GetPixelsBGR();
    const size_t at =
        size_t(picture.GetHeight() - 1 - y) * size_t((picture.GetWidth() * 3 + 3) & ~3) + size_t(x) * 3;
    return uint32_t(bgr[at + 2]) << 16 | uint32_t(bgr[at + 1]) << 8 | bgr[at];
  }

  std::unique_ptr<ColorApplication> app_;
  plat::HWND frame_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<BoxElement> left_, right_;
  ColorHost host_;
  zelvpro3DPane* pane_ = nullptr;
  qxPictureItem items_[2];
};

TEST_F(PanePicturesTest, PlanPictureOnWhiteWithItemPointsAndTheViewStateBack) {
  pane_->Eyes()[2].scale = 0.003f;
  pane_->SetViewIndex(1);
  qxCamera* camera = qxCameraRecords::Current();
  std::vector<qxPictureMark> marks{{ppVector3(-700, 0, 0), ppVector3(700, 0, 0)}};
  qxPictureResult plan = qxPanePictures::Plan(*pane_, items_, &marks, plat::RECT{10, 10, 210, 110});
  ASSERT_TRUE(plan.picture);
  EXPECT_EQ(plan.picture->GetWidth(), 200);
  EXPECT_EQ(plan.picture->GetHeight(), 100);
  EXPECT_GT(plan.modelWidth, 0);
  // The boxes left and right of the middle, the background white, black edges somewhere.
  const ppVector3 a = items_[0].window1, b = items_[1].window1;
  EXPECT_LT(a.x, 100);
  EXPECT_GT(b.x, 100);
  EXPECT_NEAR(a.y, 50, 2);
  EXPECT_NEAR(marks[0].windowA.x, a.x, 1);
  EXPECT_NEAR(marks[0].windowB.x, b.x, 1);
  EXPECT_FLOAT_EQ(plan.minX, a.x);
  EXPECT_NEAR(plan.origin.x, 100, 2);
  EXPECT_EQ(At(*plan.picture, 2, 2), 0xFFFFFFu);
  EXPECT_NE(At(*plan.picture, int32_t(a.x), int32_t(a.y)), 0xFFFFFFu);
  bool black = false;
  for (int32_t x = 0; x < 200 && !black; ++x) black = At(*plan.picture, x, int32_t(a.y)) == 0;
  EXPECT_TRUE(black);
  // Put back: the eye records, the view index, the camera, colour 1022; items withdrawn.
  EXPECT_FLOAT_EQ(pane_->Eyes()[2].scale, 0.003f);
  EXPECT_EQ(pane_->ViewIndex(), 1);
  EXPECT_EQ(qxCameraRecords::Current(), camera);
  EXPECT_FLOAT_EQ(app_->GetColorF(1022).v[0], 0.8f);
  ASSERT_EQ(host_.published.size(), 2u);
  EXPECT_EQ(host_.published[0], items_);
  EXPECT_EQ(host_.published[1], nullptr);
  EXPECT_FALSE(pane_->OffscreenBusy());
}

TEST_F(PanePicturesTest, ElevationFromTheOtherSideMirrorsAndAnEmptyListGivesNone) {
  qxPictureResult front = qxPanePictures::Elevation(*pane_, items_, plat::RECT{0, 0, 200, 100}, false);
  ASSERT_TRUE(front.picture);
  const float leftX = items_[0].window1.x, rightX = items_[1].window1.x;
  EXPECT_LT(leftX, rightX);
  qxPictureResult back = qxPanePictures::Elevation(*pane_, items_, plat::RECT{0, 0, 200, 100}, true);
  ASSERT_TRUE(back.picture);
  EXPECT_GT(items_[0].window1.x, items_[1].window1.x);
  EXPECT_NEAR(items_[0].window1.x, rightX, 2);
  EXPECT_FALSE(qxPanePictures::Elevation(*pane_, nullptr, plat::RECT{0, 0, 200, 100}, false).picture);
  EXPECT_FALSE(qxPanePictures::Plan(*pane_, items_, nullptr, plat::RECT{0, 0, 0, 100}).picture);
  EXPECT_FALSE(pane_->OffscreenBusy());
}

TEST_F(PanePicturesTest, ElevationOfOneRunHoldsNoUnitOfAnotherRun) {
  // The left box alone is the run, centred in the picture (80..119 px); the right box, another run's
  // unit 1400 mm to its right, would stand at 136..175 px in the fitted view and must not be drawn.
  items_[0].next = nullptr;
  qxPictureResult run = qxPanePictures::Elevation(*pane_, items_, plat::RECT{0, 0, 200, 100}, false);
  ASSERT_TRUE(run.picture);
  // The elevation keeps the pane's background, colour 1022 (80 % grey).
  constexpr uint32_t kBackground = 0xCCCCCCu;
  EXPECT_NEAR(items_[0].window1.x, 100, 2);
  EXPECT_NE(At(*run.picture, 100, 70), kBackground);
  for (int32_t x = 130; x < 200; ++x) EXPECT_EQ(At(*run.picture, x, 70), kBackground) << x;
}

}  // namespace
