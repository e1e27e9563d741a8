// Picking and framing: hits sort by their nearest depth whatever their farthest, and the camera fits
// a box to views wider and narrower than square.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "LoggingContext.h"
#include "foundation/ppBounds3.h"
#include "scene3d/gl/glPickHits.h"
#include "scene3d/gl/qxCamera.h"

namespace {

TEST(PickHitsDepth, HitsSortByTheirNearestDepthNotTheirFarthest) {
  // Records (names, nearest, farthest, names...): the deep-reaching record 11 is the nearest, the
  // shallow record 33 the farthest; their farthest depths order the other way round.
  const uint32_t buffer[] = {1, 100, 5000, 11, 1, 300, 310, 22, 1, 400, 401, 33, 1, 200, 4000, 44};
  glPickHits hits;
  hits.Collect(buffer, std::size(buffer), 4);
  ASSERT_EQ(hits.Count(), 4);
  const uint32_t names[] = {11, 44, 22, 33};
  const uint32_t depths[] = {100, 200, 300, 400};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(hits.Name(i), names[i]) << i;
    EXPECT_EQ(hits.Hits()[size_t(i)].depth, depths[i]) << i;
  }
  // A record that names several: its first name stands for it; the words after it are the next record.
  const uint32_t several[] = {3, 50, 60, 7, 8, 9, 1, 40, 70, 5};
  hits.Collect(several, std::size(several), 2);
  ASSERT_EQ(hits.Count(), 2);
  EXPECT_EQ(hits.Name(0), 5u);
  EXPECT_EQ(hits.Name(1), 7u);
  // Fewer records than the buffer holds: only those are read.
  hits.Collect(several, std::size(several), 1);
  ASSERT_EQ(hits.Count(), 1);
  EXPECT_EQ(hits.Name(0), 7u);
}

class AspectContext : public LoggingContext {
 public:
  explicit AspectContext(float aspect) : aspect_(aspect) {}
  float GetAspectRatio() override { return aspect_; }

 private:
  float aspect_;
};

TEST(CameraAspect, FitViewFramesTheBoxForWideAndNarrowViews) {
  // A box 4000 wide, 1000 high and 2000 deep seen from the front; the lens sees 40 degrees.
  ppBounds3 box;
  box.centre = ppVector3(100, 200, 300);
  box.half = ppVector3(2000, 500, 1000);
  const double reach = 1.0 / std::tan(20.0 / 180.0 * M_PI);  // distance per millimetre fitted
  const struct {
    float aspect;
    double fitted;  // half the height the view must show
  } cases[] = {
      {1.0f, 2000},  // the width decides
      {2.0f, 1000},  // a view twice as wide as high shows the width in half the height
      {0.5f, 4000},  // a narrow view needs twice the height
      {8.0f, 500},   // so wide that the height decides: no offset
  };
  for (const auto& c : cases) {
    AspectContext context(c.aspect);
    qxCamera camera;
    const qxCamera::Fit fit = camera.FitView(context, box, 1.0f);
    EXPECT_NEAR(fit.distance, 1000 + c.fitted * reach, 0.05) << c.aspect;
    EXPECT_NEAR(fit.heightOffset, c.fitted - 500, 1e-3) << c.aspect;
    EXPECT_NEAR(camera.position.x, 100, 1e-3) << c.aspect;
    EXPECT_NEAR(camera.position.y, 200 + c.fitted - 500, 1e-3) << c.aspect;
    EXPECT_NEAR(camera.position.z, 300 + 1000 + c.fitted * reach, 0.05) << c.aspect;

    // A parallel view's lens is its scale: 1 / (2 x fitted height in scene units x margin).
    qxCamera parallel;
    parallel.kind = 1;
    parallel.FitView(context, box, 2.0f);
    EXPECT_NEAR(parallel.lens * c.fitted, 1.0 / (2 * qxCamera::kSceneScale * 2), 1e-3) << c.aspect;
  }
}

}  // namespace
