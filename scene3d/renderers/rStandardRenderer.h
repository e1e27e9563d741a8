// The shaded view of the room ("rGoodStandard", and "rStandard" without blended lines): lit opaque
// faces, then the edges over them, then the translucent faces the first pass set aside, nearest
// first, and last a depth-only enclosure far around the room.
#pragma once

#include <map>

#include "foundation/ppMatrix4.h"
#include "scene3d/renderers/rColoredRenderer.h"

class ppPicture;
class ppShape3D;

class rStandardRenderer : public rColoredRenderer {
 public:
  // A translucent node's faces as met in the first pass; the shape and picture are the scene's.
  struct TransparentItem {
    const ppShape3D* faces = nullptr;
    const ppPicture* texture = nullptr;
    ppFloat4 color;
    ppMatrix4 matrix;  // the model view when the node was met
  };

  explicit rStandardRenderer(bool good) : rColoredRenderer(good) {}

  void Render(iScene& scene, iContext* context) override;
  void DrawNode(iNode& node) override;
  std::unique_ptr<iRenderer> Clone() const override;

  // By window depth, ascending; equal depths in the order met.
  const std::multimap<float, TransparentItem>& Transparent() const { return transparent_; }
  // Whether a node of this colour and texture goes to the translucent pass: alpha at most 0.99 (as a
  // double; a non-number is opaque) or a texture with a mask.
  static bool IsTranslucent(const ppFloat4& color, const ppPicture* texture);

 private:
  void SetUpLights();
  void DrawFacesPass(iNode& node, uint32_t flags);
  void DrawEdgesPass(iNode& node, uint32_t flags);
  void DrawTransparent();

  std::multimap<float, TransparentItem> transparent_;
};
