#include "scene3d/context/SceneMarkers.h"

#include "framework/iShape.h"
#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"

namespace {

constexpr float kFar = 100000.0f;
constexpr float kFloor = -100.0f;

struct Pixel {
  int32_t x;
  int32_t y;
};

void Polygon(iContext& context, const float (*corners)[3], int count) {
  context.Begin(gl::kPolygon);
  for (int i = 0; i < count; ++i) context.Vertex(corners[i][0], corners[i][1], corners[i][2]);
  context.End();
}

void PixelPolygon(iContext& context, const Pixel* corners, int count) {
  context.Begin(gl::kPolygon);
  for (int i = 0; i < count; ++i)
    context.Vertex(static_cast<float>(corners[i].x), static_cast<float>(corners[i].y), 0.0f);
  context.End();
}

void PixelOutline(iShape& shape, const Pixel* corners, int count) {
  shape.MoveToF(static_cast<float>(corners[0].x), static_cast<float>(corners[0].y));
  for (int i = 1; i < count; ++i)
    shape.LineToF(static_cast<float>(corners[i].x), static_cast<float>(corners[i].y));
  shape.LineToF(static_cast<float>(corners[0].x), static_cast<float>(corners[0].y));
}

void MarkerFigures(int32_t x, int32_t y, Pixel (&square)[4], Pixel (&arrow)[7]) {
  const Pixel s[4] = {{x - 3, y - 3}, {x + 3, y - 3}, {x + 3, y + 3}, {x - 3, y + 3}};
  const Pixel a[7] = {{x - 4, y - 22}, {x + 4, y - 22}, {x + 4, y - 14}, {x + 8, y - 14},
                      {x, y - 6},      {x - 8, y - 14}, {x - 4, y - 14}};
  for (int i = 0; i < 4; ++i) square[i] = s[i];
  for (int i = 0; i < 7; ++i) arrow[i] = a[i];
}

}  // namespace

void DrawDepthEnclosure(iContext& context) {
  context.SetPolygonMode(gl::kFill);
  context.SetCullFace(gl::kBack);
  context.SetWriteMasks(false, false, false, false, true);
  context.BindTexture(0);
  context.SetDepthFunction(gl::kLequal);
  const float floor[4][3] = {
      {-kFar, kFloor, -kFar}, {-kFar, kFloor, kFar}, {kFar, kFloor, kFar}, {kFar, kFloor, -kFar}};
  Polygon(context, floor, 4);
  const float ceiling[4][3] = {
      {kFar, kFar, -kFar}, {kFar, kFar, kFar}, {-kFar, kFar, kFar}, {-kFar, kFar, -kFar}};
  Polygon(context, ceiling, 4);
  const float wall[4][3] = {
      {kFar, -kFar, -kFar}, {kFar, kFar, -kFar}, {-kFar, kFar, -kFar}, {-kFar, -kFar, -kFar}};
  for (int i = 0; i < 4; ++i) {
    context.Rotate(90, 0, 1, 0);
    Polygon(context, wall, 4);
  }
}

void DrawDropMarker(iContext& context, int32_t x, int32_t y) {
  context.SetOrthographicB();
  context.LoadIdentity();
  context.SetCullFace(0);
  context.BindTexture(0);
  context.EnableLighting(false);
  context.SetDepthFunction(gl::kAlways);
  context.SetBlending(false);
  context.SetPolygonOffset(0, 0);
  context.SetDrawBuffer(gl::kFront);
  context.SetBlendFunction(gl::kOneMinusDstColor, gl::kZero);
  context.SetLineWidth(1);
  context.SetPolygonMode(gl::kLine);
  context.SetColor(1, 1, 1, 1);
  Pixel square[4], arrow[7];
  MarkerFigures(x, y, square, arrow);
  PixelPolygon(context, square, 4);
  PixelPolygon(context, arrow, 7);
  context.SetBlendFunction(gl::kOne, gl::kZero);
  context.SetDepthFunction(gl::kLess);
  context.SetDrawBuffer(gl::kBack);
  context.SetLineWidth(1);
  context.SetCullFace(gl::kBack);
}

void DrawDropMarker(iShape& shape, int32_t x, int32_t y) {
  Pixel square[4], arrow[7];
  MarkerFigures(x, y, square, arrow);
  shape.Reset();
  PixelOutline(shape, square, 4);
  PixelOutline(shape, arrow, 7);
  shape.End();
}
