// The common part of the renderers that draw lines in the application's colours (standard, hidden
// lines, wireframe): the "good" flag and the line and highlight colours. A good renderer keeps its
// lines translucent and blends them; a plain one pre-mixes them with the background.
#pragma once

#include <cstdint>

#include "foundation/ppFloat4.h"
#include "scene3d/context/iRenderer.h"

class rColoredRenderer : public iRenderer {
 public:
  // Application colours the renderers draw with.
  static constexpr int32_t kBackgroundColor = 1022;
  static constexpr int32_t kLineColor = 1024;
  static constexpr int32_t kHighlightColor = 1026;
  static constexpr int32_t kPlainFaceColor = 1027;
  // Render flags of nodes.
  static constexpr uint32_t kSkippable = 0x01;
  static constexpr uint32_t kHighlighted = 0x02;
  static constexpr uint32_t kBackOutline = 0x08;
  static constexpr uint32_t kNoBackOutline = 0x10;
  static constexpr uint32_t kPlainFaces = 0x20;
  static constexpr uint32_t kHidden = 0x40;

  explicit rColoredRenderer(bool good);

  bool IsGood() const { return good_; }
  const ppFloat4& GetLineColor() const { return lineColor_; }
  const ppFloat4& GetHighlightColor() const { return highlightColor_; }
  const ppFloat4& GetBackground() const { return background_; }

 protected:
  // The background from the application; the line and highlight colours from it, mixed with the
  // background when the renderer is not good.
  void SetUpColors();
  // Whether the node's flags hide it: 0x40, or 0x01 while the mask has 0x01.
  bool Skips(uint32_t flags) const;
  bool Highlights(uint32_t flags) const { return (flags & kHighlighted) && (GetMask() & kHighlighted); }
  // Line width 2 and the highlight colour for a highlighted node, else width 1 and the line colour.
  ppFloat4 SetLineFor(uint32_t flags);
  // Back faces outlined in line mode, for nodes that ask for it.
  void DrawBackOutline(iNode& node, uint32_t flags);
  void CopyColorsFrom(const rColoredRenderer& other);

  ppFloat4 background_;

 private:
  bool good_;
  ppFloat4 lineColor_;
  ppFloat4 highlightColor_;
};
