#include "scene3d/renderers/rStandardRenderer.h"

#include "framework/ppPicture.h"
#include "scene3d/context/GlConstants.h"
#include "scene3d/context/SceneMarkers.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/iScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/renderers/RenderSettings.h"

namespace {

// The extra lamps over the room, millimetres.
const ppVector3 kExtraLamps[3] = {{2000, 2500, 5500}, {2000, 2500, 8500}, {5000, 2500, 5500}};

ppVector3 BoxCentre(const ppShape3D& shape) { return shape.GetBounds().centre; }

}  // namespace

bool rStandardRenderer::IsTranslucent(const ppFloat4& color, const ppPicture* texture) {
  if (static_cast<double>(color.v[3]) <= 0.99) return true;
  return texture != nullptr && texture->HasMask();
}

void rStandardRenderer::SetUpLights() {
  iContext& c = *context;
  c.SetLighting();
  const bool extra = gExtraLights != 0;
  const float ambient = extra ? 0.55f : 0.9f;
  c.SetLightModel(ambient, ambient, ambient, 1.0f);
  c.SetLight(ppVector3(5000, 20000, 3200), 0.2f, 0.2f, 0.2f, 1.0f, 1.0f, 0.0f, 0.0f);
  if (!extra) return;
  for (const ppVector3& lamp : kExtraLamps) c.SetLight(lamp, 0.8f, 0.8f, 0.8f, 1.0f, 1.0f, 0.5f, 0.0f);
}

void rStandardRenderer::Render(iScene& scene, iContext* target) {
  context = target;
  if (context == nullptr) return;
  iContext& c = *context;
  SetUpColors();
  c.ResetState(background_.v[0], background_.v[1], background_.v[2], background_.v[3],
               gl::kColorBufferBit | gl::kDepthBufferBit);
  SetUpLights();
  c.SetCullFace(gl::kBack);
  c.SetDepthFunction(gl::kLequal);
  transparent_.clear();

  pass = 1;
  c.SetWriteMasks(true, true, true, true, true);
  c.SetPolygonOffset(gPolygonOffset, gPolygonOffset);
  c.SetPolygonMode(gl::kFill);
  c.EnableLighting(true);
  c.SetBlending(false);
  scene.Render(*this);

  pass = 2;
  c.SetWriteMasks(true, true, true, true, false);
  c.SetPolygonOffset(0.0f, 0.0f);
  c.SetPolygonMode(gl::kLine);
  c.EnableLighting(false);
  if (IsGood()) c.SetBlending(true);
  c.BindTexture(0);
  scene.Render(*this);

  if (!transparent_.empty()) DrawTransparent();
  DrawDepthEnclosure(c);
}

void rStandardRenderer::DrawTransparent() {
  iContext& c = *context;
  pass = 3;
  c.PushMatrix();
  c.EnableLighting(true);
  c.SetBlending(false);
  c.SetPolygonMode(gl::kFill);
  c.SetPolygonOffset(1.5f, 0.3f);
  c.SetWriteMasks(true, true, true, true, false);
  c.SetBlendFunction(gl::kSrcAlpha, gl::kOneMinusSrcAlpha);
  for (const auto& [depth, item] : transparent_) {
    c.LoadIdentity();
    c.MultMatrix(item.matrix);
    c.SetColorFromArgs(item.color.v[0], item.color.v[1], item.color.v[2], item.color.v[3]);
    if (item.texture == nullptr) {
      c.BindTexture(0);
    } else {
      const bool repeat = TextureRepeats(item.texture);
      c.CreateTexture(item.texture);
      c.SetTextureParameterA(repeat);
      c.SetTextureParameterB(repeat);
    }
    c.DrawShape(item.faces);
  }
  c.PopMatrix();
  c.SetBlendFunction(gl::kOne, gl::kZero);
  c.SetPolygonOffset(0.0f, 0.0f);
  c.EnableLighting(false);
  c.SetWriteMasks(true, true, true, true, true);
  c.BindTexture(0);
}

void rStandardRenderer::DrawNode(iNode& node) {
  const uint32_t flags = node.GetRenderFlags();
  if (Skips(flags)) return;
  if (pass == 1) DrawFacesPass(node, flags);
  if (pass == 2) DrawEdgesPass(node, flags);
}

void rStandardRenderer::DrawFacesPass(iNode& node, uint32_t flags) {
  iContext& c = *context;
  const ppFloat4 color = node.GetColor();
  const ppPicture* texture = node.GetTexture();
  if (IsTranslucent(color, texture)) {
    const ppShape3D* faces = node.GetFaces();
    if (faces == nullptr) return;
    TransparentItem item{faces, texture, color, {}};
    c.GetMatrix(item.matrix);
    const float depth = c.MapPointB(BoxCentre(*faces)).z;
    transparent_.emplace(depth, item);  // after its equals: the order met
    return;
  }
  if (flags & kPlainFaces) {
    const ppFloat4 plain = ApplicationColorF(kPlainFaceColor);
    c.SetColorFromArgs(plain.v[0], plain.v[1], plain.v[2], plain.v[3]);
    c.BindTexture(0);
    node.DrawFaces(c);
    return;
  }
  node.ApplyColor(c);
  if (texture == nullptr) {
    c.BindTexture(0);
  } else {
    const bool repeat = TextureRepeats(texture);
    node.BindTexture(c);
    c.SetTextureParameterA(repeat);
    c.SetTextureParameterB(!repeat);
  }
  node.DrawFaces(c);
}

void rStandardRenderer::DrawEdgesPass(iNode& node, uint32_t flags) {
  iContext& c = *context;
  ppFloat4 color = SetLineFor(flags);
  if (gExtraLights != 0) color.v[3] *= 0.4f;
  c.SetColorFromArgs(color.v[0], color.v[1], color.v[2], color.v[3]);
  node.DrawEdges(c);
  DrawBackOutline(node, flags);
}

std::unique_ptr<iRenderer> rStandardRenderer::Clone() const {
  auto copy = std::make_unique<rStandardRenderer>(false);
  copy->CopyColorsFrom(*this);
  copy->transparent_ = transparent_;
  return copy;
}
