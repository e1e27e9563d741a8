// Placing the camera: fitting the view to a box and looking at a point.
#include <gtest/gtest.h>

#include "LoggingContext.h"
#include "foundation/ppBounds3.h"
#include "scene3d/gl/qxCamera.h"

namespace {

ppBounds3 Box(ppVector3 centre, ppVector3 half) {
  ppBounds3 box;
  box.centre = centre;
  box.half = half;
  return box;
}

TEST(Camera, FitViewFramesTheWiderSideAndScalesWithTheMargin) {
  LoggingContext context;  // aspect 1
  const ppBounds3 box = Box(ppVector3(0, 0, 0), ppVector3(2000, 500, 1000));
  struct Case {
    float margin, distance, offset;
  } cases[] = {{1, 6494.955f, 1500}, {2, 12989.91f, 750}};
  for (const Case& c : cases) {
    qxCamera camera;
    const qxCamera::Fit fit = camera.FitView(context, box, c.margin);
    EXPECT_NEAR(fit.distance, c.distance, 0.01) << c.margin;
    EXPECT_NEAR(fit.heightOffset, c.offset, 1e-3) << c.margin;
    EXPECT_NEAR(camera.position.x, 0, 1e-3);
    EXPECT_NEAR(camera.position.y, c.offset, 1e-3);
    EXPECT_NEAR(camera.position.z, c.distance, 0.01);
  }

  qxCamera parallel;
  parallel.kind = 1;
  const qxCamera::Fit flat = parallel.FitView(context, box, 1);
  EXPECT_EQ(flat.distance, 0.0f);
  EXPECT_EQ(flat.heightOffset, 0.0f);
  EXPECT_NEAR(parallel.lens, 0.125f, 1e-6);

  // Nothing to frame: the camera stays where it was.
  for (const ppBounds3& nothing : {ppBounds3(), Box(ppVector3(5, 5, 5), ppVector3(0, 0, 0))}) {
    for (uint8_t kind : {0, 1}) {
      qxCamera camera;
      camera.kind = kind;
      camera.position = ppVector3(1, 2, 3);
      const qxCamera::Fit fit = camera.FitView(context, nothing, 1);
      EXPECT_EQ(fit.distance + fit.heightOffset, 0.0f);
      EXPECT_EQ(camera.position.z, 3.0f);
      EXPECT_EQ(camera.lens, 40.0f);
    }
  }
}

TEST(Camera, PlaceLooksAlongTheYaw) {
  qxCamera camera;
  camera.yaw = 90;
  camera.Place(ppVector3(10, 0, 0), 100, 5);
  EXPECT_NEAR(camera.position.x, 110, 1e-3);
  EXPECT_NEAR(camera.position.y, 5, 1e-3);
  EXPECT_NEAR(camera.position.z, 0, 1e-3);
  camera.kind = 2;
  camera.Place(ppVector3(1, 2, 3), 0.5f, 7);
  EXPECT_EQ(camera.position.y, 2.0f);
  EXPECT_EQ(camera.lens, 0.5f);
}

}  // namespace
