// The floor of one room: a plan element bound to one inner outline cycle of the room canvas. It
// builds one wall body per side face of its cycle, records the room outline as a drawing path (its
// plan region, saved with the document), builds the 3D slab, shows the floor area and offers the
// room's dimensions A to F for the standard room shapes. Choosing another "RoomType" replaces the
// whole room by a stored room template.
//
// Ownership: the floor owns only its outline path; the cycle, its faces and the wall bodies (its
// children as views) are the canvas's and the view tree's. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"
#include "framework/ppShape.h"
#include "room/HitRegionCache.h"

struct ConfigPanel;
class iMoveObjectTask;
class ppTask;
class qx3DObject;
class qxLineCycle;
class qxWallElement;
class zelvproColorCatalogFil;
struct WallEdge;

// The smallest wall-body height of the floor last rebuilt in 3D (millimetres); -1.0 before any.
// User-interface thread; on the reset list.
float LowestWallHeight();
void SetLowestWallHeight(float height);

class qxFloorElement : public zelvproTopViewElement {
 public:
  static constexpr int32_t kKind = 1025;
  static constexpr int32_t kMeasurements = 6;

  // A new floor without a catalogue record (the top-view element's new-element arguments); it takes
  // the first texture of the floor colour group.
  qxFloorElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                 zelvproShapeFil& shapes);
  // A floor from the current record of a document-module table; it finds its cycle on the room
  // canvas by the record's "under".
  qxFloorElement(ppView* parent, ppDatafile& module, bool refresh);
  ~qxFloorElement() override;

  void Init();
  qxLineCycle* Cycle() const { return cycle_; }
  const ppShape& OutlinePath() const { return outline_; }
  int32_t Red() const { return red_; }
  int32_t Green() const { return green_; }
  int32_t Blue() const { return blue_; }
  int32_t TextureId() const { return textureId_; }

  // Binds the floor to `cycle`: one new wall body per face, the outline path recorded anew.
  void SetRoom(qxLineCycle* cycle);
  // Hands the wall bodies' settings of `previous` (the floor this one replaces) to this floor's walls,
  // starting at the faces that start (`matchStart`) or end at `point`; `mode` is the rebuild count.
  void AdoptWallsFrom(qxFloorElement* previous, const ppVector3& point, bool matchStart, int32_t mode);
  void CopyAttributes(const qxFloorElement& other);
  // Size of the room's bounding rectangle in plan (x, z).
  void GetOutlineExtent(ppVector2& size) const;
  static void SelectFloorTextures(zelvproColorCatalogFil& colours);
  // The floor area as text with its unit ("1,0 m²" in the narrow code page).
  std::string AreaText();
  // The room section of the room canvas's panel: area and dimension fields.
  void BuildRoomSection(ConfigPanel& panel);

  // ---- Room shape and dimensions (recomputed from the cycle on every call).
  // 0 other, 1 rectangle, 2 L shape, 3 U shape, 5 bevelled rectangle; sets the start corner.
  int32_t ClassifyRoomShape();
  int32_t GetShapeRotation();  // 0, 90, 180 or 270 degrees
  int32_t CanonicalWallIndex(int32_t position);
  int32_t GetCornerCount();
  int32_t GetMeasurementCount();
  int32_t RoomType();  // RoomTypeNumber of the current shape and rotation
  // The room template this room was made from (the catalogue's scene record id), 0 when none is
  // known; the Room Shape box shows it while the room keeps that template's kind of outline.
  int32_t RoomTemplate() const { return roomTemplate_; }
  void SetRoomTemplate(int32_t id) { roomTemplate_ = id; }
  // What "RoomType" reads: the template the room was made from, else the classifier's number.
  int32_t ShownRoomType();
  // The outline's kind, independent of its size and of where it starts: per corner its turn letter
  // and whether the face before it is arched, rotated to the smallest string.
  std::string OutlineKind() const;
  void ComputeMeasurements();
  // Moves the wall of dimension `index` so that the dimension becomes `value` (millimetres).
  void SetMeasurement(int32_t index, float value, bool useSecondWall);
  float Measurement(int32_t index) const { return measurements_[index]; }
  int32_t StartCorner() const { return startCorner_; }

  // ---- Drawing, slab and walls.
  void DrawMeasurementLabels(ppDC& dc);
  void DrawMeasurementLabel(ppDC& dc, const WallEdge& before, const WallEdge& measured, const WallEdge& after,
                            int32_t position);
  // The slab ahead of `next` (the chain owns it), or `next` itself without a cycle.
  virtual qx3DObject* BuildFloorObject(qx3DObject* next, zelvproCanvas* canvas);
  // The wall body of the nearest straight face within 1000 of `point`: `foot` its foot point, pulled
  // back so that `width` fits before the face's end, `angle` the face's direction (radians).
  qxWallElement* NearestWallEdge(ppVector3& foot, float& angle, const ppVector3& point, float width);
  void UpdateLowestWallHeight();
  virtual int32_t ZeroQuery() { return 0; }

  // ---- Element operations replaced here.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void DrawContent(ppDC& dc) override;
  std::unique_ptr<ppRegion> GetFrameRegion() override;
  void PrintContent(ppDC& /*dc*/, int32_t /*page*/) override {}
  bool IsDoubleClick(int32_t x, int32_t y) override;
  bool ContainsPoint(int32_t x, int32_t y) override;
  void Select(bool refresh) override;
  zelvproElement* GetParentElement() override { return this; }
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return true; }
  zelvproElement* NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                              zelvproElement* asker, uint32_t flags) override;
  void BuildInfoPanel(qxViewHolder* source) override;
  bool HasCatalogEntry(int32_t /*id*/) override { return true; }
  int32_t ValidateColorRecord(int32_t id, int32_t group) override;
  void InvalidateGeometry() override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  void ExtendBounds2D(ppVector2& /*min*/, ppVector2& /*max*/) override {}
  // The dimension lines of the floor's wall bodies (its children), for the printed plan.
  void CollectDimensionLines(std::vector<PlanAnnotation>& list) override;
  void GetColorByCode(ppFloat4& out, int32_t code) override;
  const ppPicture* GetTextureByCode(int32_t code) override;
  void RebuildGeometry() override;

  // ---- Properties 0-9: "Color", "Texture", "Measurement0".."Measurement5", "RoomType", "Area".
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;

 private:
  // "RoomType" set: replaces the room by the template of that type (12: only deselects).
  void ChangeRoomType(int32_t type);
  // Posts `task` (owned by the poster; null: only deselect and refresh) to run after this edit.
  void PostRoomTask(ppTask* task);
  // After a new colour or texture: redrawn everywhere and the document marked changed.
  void ShowNewLook();
  // A new wall body on `edge`, child of this floor; null without a catalogue.
  qxWallElement* NewWall(const WallEdge& edge);

  int32_t red_ = 80, green_ = 80, blue_ = 80;  // percent
  int32_t textureId_ = 0;
  int32_t roomTemplate_ = 0;      // scene record id; saved in the record's "extraB"
  float defaultHeight_ = 0.0f;    // kept, never read
  float defaultDepth_ = 0.0f;     // kept, never read
  qxLineCycle* cycle_ = nullptr;  // not owned
  ppShape outline_;
  HitRegionCache hitRegion_;  // the outline's region, kept until it or the plan's mapping changes
  float measurements_[kMeasurements] = {};
  int32_t startCorner_ = 0;
  // Per dimension: the face (index into the cycle) that moves when it is edited, and the one that
  // moves instead when the first cannot (-1: none).
  int32_t movedWalls_[kMeasurements] = {-1, -1, -1, -1, -1, -1};
  int32_t secondWalls_[kMeasurements] = {-1, -1, -1, -1, -1, -1};
  ppVector3 directions_[kMeasurements];

  // ---- Shape rules (qxFloorElementShape.cpp).
 protected:
  // Binds the cycle without building wall bodies or the outline path: the shape rules alone.
  void BindCycleForShape(qxLineCycle* cycle) { cycle_ = cycle; }

 private:
  // One turn letter per face for the corner after it: "L"/"R", lower case when not a right angle.
  std::string TurnLetters() const;
  // Rotates `turns` to its canonical first letter and sets the start corner accordingly.
  void SetCanonicalStart(std::string& turns);
  int32_t LowestCornerFace() const;
  int32_t ShapeRotation(int32_t shape) const;
  // The faces (indexes into the cycle) framing the dimension line at `position` of `shape` with
  // the current start corner: wall before, measured wall, wall after; false when there is none.
  bool LabelFaces(int32_t shape, int32_t position, int32_t faces[3]) const;
  // A wall move that moved both ends of its wall: the room is rebuilt and the move made undoable
  // (the history takes the task over).
  void KeepWallMove(iMoveObjectTask& task);

  // ---- Slab helpers (qxFloorElementDrawing.cpp).
  // Makes the private cache object holding the slab's one layer.
  void BuildSlabCache();
  // Makes the floor texture's colour and texture records the current ones of their tables.
  void ReadTextureRecords();
};

// The room-type number of a shape and rotation (degrees): 0..14.
int32_t RoomTypeNumber(int32_t shape, int32_t rotation);
