// A drawable scene node: it hands its face shape, edge shape, texture and colour to renderers, and
// keeps the display-list and texture names a caching context answered for them, so that a redraw
// only calls the list. The names are valid for one context family; ResetNames forgets them when the
// node's geometry or appearance changes. Shapes and pictures a node answers are not owned by it.
#pragma once

#include <cstdint>

#include "foundation/ppFloat4.h"
#include "scene3d/context/iScene.h"

class iContext;
class ppMatrix4;
class ppPicture;
class ppShape3D;

class iNode : public iScene {
 public:
  // Render-flag bits read by the collision test: a node with any of kSkipFlags takes no part, a node
  // with kMovingFlag belongs to what is being moved.
  static constexpr uint32_t kMovingFlag = 0x2;
  static constexpr uint32_t kSkipFlags = 0x1 | 0x40 | 0x100 | 0x200;

  uint32_t facesList = 0;
  uint32_t edgesList = 0;
  uint32_t thirdList = 0;
  uint32_t extraWord = 0;
  uint32_t textureName = 0;
  uint32_t renderFlags = 0;

  ~iNode() override = default;

  virtual ppShape3D* GetFaces() const { return nullptr; }
  virtual ppShape3D* GetEdges() const { return nullptr; }
  virtual const ppPicture* GetTexture() const { return nullptr; }
  virtual ppFloat4 GetColor() const { return ppFloat4(); }
  virtual uint32_t GetValueA() const { return 0; }
  virtual uint32_t GetValueB() const { return 0; }
  virtual uint32_t GetRenderFlags() const { return renderFlags; }
  // Identifies the node's owner (its plan element) to the collision test.
  virtual uint32_t GetOwner() const { return 0; }
  // Whether this node placed by `own` meets `other` placed by `otherTransform`: false unless both
  // have a face shape, else the shapes' intersection test.
  virtual bool Collides(const iNode& other, const ppMatrix4& own, const ppMatrix4& otherTransform) const;

  // Forgets the three list names and the texture name; the render flags stay.
  void ResetNames();

  // ---- The drawing operations every renderer shares. In the context's immediate mode nothing is
  // kept; otherwise a kept name is called (or bound), and a missing one is made and kept.
  void DrawFaces(iContext& context);
  void DrawEdges(iContext& context);
  void BindTexture(iContext& context);
  void ApplyColor(iContext& context) const;

 private:
  static void DrawCached(iContext& context, const ppShape3D* shape, uint32_t& list);
};

// Whether the picture's texture repeats (rather than being clamped at its edges).
bool TextureRepeats(const ppPicture* picture);
