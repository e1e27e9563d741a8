// The wall body over one side face of a wall: a plan element that stands on one WallEdge of a room
// segment and carries that face's height, colour and texture, its panel, its dimension lines and
// its 3D surface (one sheet without thickness; the wall's thickness comes from its two faces
// standing apart). The floor builds one per face of its room; the room canvas makes them again from
// the document's records. Doors and windows are children of the segment, not of the wall body, and
// are not cut out of the face.
//
// Channel 1004 brings the room-wide wall height (1020) and thickness (1021).
// Ownership: the segment of the face copy is not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppVector3.h"
#include "framework/ppCollaborator.h"
#include "room/WallEdge.h"

class ppDatafile;
class qx3DMeshObject;
class zelvproColorCatalogFil;

class qxWallElement : public zelvproTopViewElement, public ppCollaborator {
 public:
  static constexpr int32_t kKind = 1024;
  static constexpr float kNewHeight = 2250.0f;  // millimetres

  // A new wall body on `edge`, child of `parent` (the floor), of top-view record `recordId` copied
  // from `record` (see zelvproTopViewElement); it takes the first texture of the wall colour group.
  qxWallElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                zelvproShapeFil& shapes, const WallEdge& edge);
  // A wall body from the current record of a document-module table; it finds its face on the room
  // canvas by the record's "under".
  qxWallElement(ppView* parent, ppDatafile& module, bool refresh);
  ~qxWallElement() override;

  const WallEdge& Edge() const { return edge_; }
  float GetHeight() const { return height_; }
  // Percent colour (0..100 each).
  int32_t Red() const { return red_; }
  int32_t Green() const { return green_; }
  int32_t Blue() const { return blue_; }
  int32_t TextureId() const { return textureId_; }

  // The height in millimetres; the face's segment takes it too.
  void SetHeight(float height);
  // Takes colour, height, texture and kind of `other` (the wall it replaces) and its children.
  void CopyFrom(qxWallElement* other);
  // Leaves in `colours`' selection the textures of the wall colour group.
  static void SelectWallTextures(zelvproColorCatalogFil& colours);
  // The face as a 3D mesh ahead of `next` (the chain owns it); the caller owns the result.
  virtual qx3DMeshObject* CreateWallMesh(qx3DObject* next, zelvproCanvas* canvas);

  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // ---- Element operations replaced here.
  void DrawContent(ppDC& dc) override;
  void PrintContent(ppDC& /*dc*/, int32_t /*page*/) override {}
  bool IsDoubleClick(int32_t x, int32_t y) override;
  bool ContainsPoint(int32_t x, int32_t y) override;
  void Select(bool refresh) override;
  void BuildInfoPanel(qxViewHolder* source) override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  void GetColorByCode(ppFloat4& out, int32_t code) override;
  const ppPicture* GetTextureByCode(int32_t code) override;
  void CollectDimensionLines(std::vector<PlanAnnotation>& list) override;
  void RebuildGeometry() override;
  bool HasPartWithKeyIn(const std::set<int32_t>& /*keys*/) override { return true; }

  // ---- Properties: 0 "Color", 1 "Texture".
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;

 private:
  WallEdge edge_;
  // Only loaded and saved.
  ppVector3 savedStart_, savedEnd_;
  float savedRadius_ = 0.0f;
  ppVector3 savedCentre_;
  float height_ = kNewHeight;
  int32_t red_ = 90, green_ = 90, blue_ = 90;
  int32_t textureId_ = 0;
};
