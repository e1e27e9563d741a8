#include "scene3d/renderers/rColoredRenderer.h"

#include "scene3d/context/GlConstants.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/renderers/RenderSettings.h"

namespace {

// What every renderer starts with, before its first render mixes in the application's colours.
constexpr ppFloat4 kDefaultLine{0.0f, 0.0f, 0.0f, 0.2f};
constexpr ppFloat4 kDefaultHighlight{0.5f, 0.0f, 0.0f, 0.5f};

}  // namespace

rColoredRenderer::rColoredRenderer(bool good)
    : background_(gLastBackground),
      good_(good),
      lineColor_(kDefaultLine),
      highlightColor_(kDefaultHighlight) {}

void rColoredRenderer::SetUpColors() {
  background_ = ApplicationColorF(kBackgroundColor);
  gLastBackground = background_;
  highlightColor_ = ApplicationColorF(kHighlightColor);
  highlightColor_.v[3] = 0.5f;
  lineColor_ = ApplicationColorF(kLineColor);
  lineColor_.v[3] = 0.2f;
  if (good_) return;
  // The factors are the alphas of the defaults; 0.6 is 1 minus the doubled line alpha.
  lineColor_.v[3] = 0.4f;
  highlightColor_.v[3] = 1.0f;
  for (int i = 0; i < 3; ++i) {
    lineColor_.v[i] = lineColor_.v[i] * 0.2f + 0.6f * background_.v[i];
    highlightColor_.v[i] = highlightColor_.v[i] * 0.5f + 0.5f * background_.v[i];
  }
}

bool rColoredRenderer::Skips(uint32_t flags) const {
  return (flags & kHidden) || ((flags & kSkippable) && (GetMask() & kSkippable));
}

ppFloat4 rColoredRenderer::SetLineFor(uint32_t flags) {
  if (Highlights(flags)) {
    context->SetLineWidth(2.0f);
    return highlightColor_;
  }
  context->SetLineWidth(1.0f);
  return lineColor_;
}

void rColoredRenderer::DrawBackOutline(iNode& node, uint32_t flags) {
  if (!(flags & kBackOutline) || (flags & kNoBackOutline)) return;
  context->SetDepthFunction(gl::kLess);
  context->SetLineWidth(1.5f);
  context->SetCullFace(gl::kFront);
  node.DrawFaces(*context);
  context->SetCullFace(gl::kBack);
  context->SetDepthFunction(gl::kLequal);
}

void rColoredRenderer::CopyColorsFrom(const rColoredRenderer& other) {
  CopyBaseFrom(other);
  good_ = other.good_;
  lineColor_ = other.lineColor_;
  highlightColor_ = other.highlightColor_;
  background_ = other.background_;
}
