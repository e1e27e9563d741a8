#include "scene3d/context/iNode.h"

#include "framework/ppPicture.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/ppShape3D.h"

bool iNode::Collides(const iNode& other, const ppMatrix4& own, const ppMatrix4& otherTransform) const {
  const ppShape3D* faces = GetFaces();
  const ppShape3D* otherFaces = other.GetFaces();
  if (faces == nullptr || otherFaces == nullptr) return false;
  return faces->Intersects(*otherFaces, own, otherTransform);
}

void iNode::ResetNames() { facesList = edgesList = thirdList = textureName = 0; }

void iNode::DrawCached(iContext& context, const ppShape3D* shape, uint32_t& list) {
  if (context.immediateMode) {
    context.DrawShape(shape);
  } else if (list != 0) {
    context.CallList(list);
  } else {
    list = context.DrawShape(shape);
  }
}

void iNode::DrawFaces(iContext& context) { DrawCached(context, GetFaces(), facesList); }

void iNode::DrawEdges(iContext& context) { DrawCached(context, GetEdges(), edgesList); }

void iNode::BindTexture(iContext& context) {
  if (context.immediateMode) {
    context.CreateTexture(GetTexture());
  } else if (textureName != 0) {
    context.BindTexture(textureName);
  } else {
    textureName = context.CreateTexture(GetTexture());
  }
}

void iNode::ApplyColor(iContext& context) const {
  const ppFloat4 c = GetColor();
  context.SetColorFromArgs(c.v[0], c.v[1], c.v[2], c.v[3]);
}

bool TextureRepeats(const ppPicture* picture) { return picture != nullptr && picture->GetRepeat(); }
