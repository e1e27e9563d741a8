// The wall body over one side face of a wall: a plan element that stands on one WallEdge of a room
// segment and carries that face's height, colour and texture, its panel, its dimension lines and
// its 3D surface (one sheet without thickness; the wall's thickness comes from its two faces
// standing apart). The floor builds one per face of its room; the room canvas makes them again from
// the document's records. Doors and windows are children of the segment, not of the wall body, and
// are not cut out of the face.
//
// Channel 1004 brings the room-wide wall height (1020) and thickness (1021).
// A face copy whose segment is not bound (null) leaves the segment alone everywhere.
// Ownership: the segment of the face copy is not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppVector3.h"
#include "framework/ppCollaborator.h"
#include "room/WallEdge.h"

class ppDatafile;
class qx3DMeshObject;
class qx3DObject;
class zelvproColorCatalogFil;

class qxWallElement : public zelvproTopViewElement, public ppCollaborator {
 public:
  static constexpr int32_t kKind = 1024;
  static constexpr float kNewHeight = 2250.0f;  // millimetres
  static constexpr int32_t kNewShade = 90;      // percent, each of red, green and blue
  // The face's grid of cells (columns along the face, rows up it) and its texture span.
  static constexpr int32_t kColumns = 10, kRows = 10;
  static constexpr float kTextureSpan = 4000.0f;  // millimetres per texture repeat
  // Gaps between openings this short or shorter get no dimension line (millimetres).
  static constexpr float kShortestDimension = 10.0f;
  // The mesh's colour word, untextured and textured.
  static constexpr int32_t kPlainColourWord = 256, kTexturedColourWord = 0;

  // A new wall body on `edge`, child of `parent` (the floor), of top-view record `recordId` copied
  // from `record` (see zelvproTopViewElement); it takes the first texture of the wall colour group.
  qxWallElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                zelvproShapeFil& shapes, const WallEdge& edge);
  // A wall body from the current record of a document-module table; it finds its face on the room
  // canvas by the record's "under" and becomes that face's wall.
  qxWallElement(ppView* parent, ppDatafile& module, bool refresh);
  ~qxWallElement() override;

  const WallEdge& Edge() const { return edge_; }
  float GetHeight() const { return height_; }
  // Percent colour (0..100 each).
  int32_t Red() const { return red_; }
  int32_t Green() const { return green_; }
  int32_t Blue() const { return blue_; }
  // A record id of the element database's colour catalogue; 0 for none.
  int32_t TextureId() const { return textureId_; }

  // The height in millimetres; the face's segment takes it too.
  void SetHeight(float height);
  // Takes colour, height, texture and kind of `other` (the wall it replaces) and its children; then
  // the height of this wall's own segment. Nothing for null.
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
  bool WantsDoubleClicks() override { return true; }
  bool ContainsPoint(int32_t x, int32_t y) override;
  void Select(bool refresh) override;
  void BuildInfoPanel(qxViewHolder* source) override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  void GetColorByCode(ppFloat4& out, int32_t code) override;
  const ppPicture* GetTextureByCode(int32_t code) override;
  // The stretches of the face between its segment's openings, the openings' own lines, the whole
  // face, then the lines of the wall's children.
  void CollectDimensionLines(std::vector<PlanAnnotation>& list) override;
  // The face mesh into the element's own cached object (made only when there is none).
  void RebuildGeometry() override;
  bool HasPartWithKeyIn(const std::set<int32_t>& /*keys*/) override { return true; }

  // ---- Properties: 0 "Color" (0xRRGGBB00 in percent), 1 "Texture" (dbId of a colour record).
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;

 private:
  void InitWall();
  void ReadWallRecord(ppDatafile& module);
  // The wall and its children are rebuilt and the plan redrawn.
  void AppearanceChanged();
  // The number that tells this element's catalogue apart in dbId values.
  int32_t DatabaseNumber() const;

  // Mesh pieces: one column's four vertexes per row, its normals and texture u at both sides.
  struct Column {
    ppVector3 left, right;
    ppVector3 leftNormal, rightNormal;
    float leftU = 0.0f, rightU = 0.0f;
  };
  std::vector<Column> StraightColumns() const;
  std::vector<Column> ArcColumns() const;
  void AppendColumn(qx3DMeshObject& mesh, const Column& column) const;
  // The normal of the face's cell from `left` to `right`, one row high.
  ppVector3 CellNormal(const ppVector3& left, const ppVector3& right) const;

  // A dimension line of this wall from `from` (y 0) of `length`.
  PlanAnnotation DimensionLine(const ppVector3& from, float length, float angle, int32_t kind);

  WallEdge edge_;
  // Only loaded and saved.
  ppVector3 savedStart_, savedEnd_;
  float savedRadius_ = 0.0f;
  ppVector3 savedCentre_;
  float height_ = kNewHeight;
  int32_t red_ = kNewShade, green_ = kNewShade, blue_ = kNewShade;
  int32_t textureId_ = 0;
};
