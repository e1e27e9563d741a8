// One wall of a room outline: a straight or circular-arc centre line from a start point to an end
// point, with a wall thickness and height (millimetres). Segments are children of the new-room
// canvas and are joined at corners by junctions; each keeps the junctions lying on it, ordered by
// their distance from its start. Doors and windows in the wall are its children and travel with its
// ends. A segment reaches its canvas only through the canvas's properties ("WallThickness",
// "WallHeight") and commands (4033 rebuilds the corners, faces and floors; 4034 the 3D view).
//
// Ownership: the segment owns its junction list nodes, not the junctions. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "elements/topview/qxFeature.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppShape.h"
#include "room/HitRegionCache.h"
#include "room/qxJunctionRec.h"

class iShape;
class ppDC;
class ppRegion;
class qxJunction;

class qxRoomSegment : public qxFeature {
 public:
  static constexpr int32_t kKind = 1026;
  // Canvas commands: rebuild the corners, side faces, cycles and floors; refresh the 3D view.
  static constexpr int32_t kRebuildCorners = 4033, kRefresh3D = 4034;
  // The record's "circleFlags".
  static constexpr int32_t kClockwiseFlag = 1, kArchedFlag = 2;
  // The limits the canvas gives its own wall values (millimetres).
  static constexpr float kMinThickness = 10.0f, kMaxThickness = 5000.0f, kMaxHeight = 100000.0f;

  // A new segment of top-view record `recordId`; it takes its thickness and height from the canvas.
  qxRoomSegment(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                zelvproShapeFil& shapes);
  // A segment from the current record of a document-module table; it lies on no junction until
  // the canvas rebuilds the corners.
  qxRoomSegment(ppView* parent, ppDatafile& module, bool refresh);
  ~qxRoomSegment() override;

  // Reads the canvas's "WallThickness" and "WallHeight" as lengths.
  void Init();

  void GetStartPoint(ppVector3& out) const { out = start_; }
  void GetEndPoint(ppVector3& out) const { out = end_; }
  const ppVector3& Start() const { return start_; }
  const ppVector3& End() const { return end_; }
  void SetEnds(const ppVector3& start, const ppVector3& end) { start_ = start, end_ = end; }
  // The chord's length.
  float GetLength() const;
  float GetThickness() const { return thickness_; }
  float GetHeight() const { return height_; }
  float GetRadius() const { return radius_; }
  bool IsArched() const { return arched_; }
  bool IsClockwise() const { return clockwise_; }
  const ppVector3& GetCenter() const { return centre_; }
  void SetRadius(float radius) { radius_ = radius; }
  void SetCenter(const ppVector3& centre) { centre_ = centre; }
  void SetClockwise(bool on) { clockwise_ = on; }
  // The wall values alone (millimetres), as the room-wide settings hand them to every wall; the
  // caller rebuilds what depends on them.
  void SetHeight(float height) { height_ = height; }
  void SetThickness(float thickness) { thickness_ = thickness; }
  // The ends as last shown and as before the last end move.
  const ppVector3& SavedStart() const { return savedStart_; }
  const ppVector3& SavedEnd() const { return savedEnd_; }
  const ppVector3& PreviousStart() const { return previousStart_; }
  const ppVector3& PreviousEnd() const { return previousEnd_; }

  // ---- The junctions on the segment, nearest the start first.
  qxJunctionRec* GetFirstJunctionLink() const { return junctions_; }
  // Inserts `junction` after every junction not farther from the start.
  void AddJunction(qxJunction* junction);
  // Restores the order after the ends or the junctions moved.
  void SortJunctions();
  // Drops every node of `junction`.
  void RemoveJunction(qxJunction* junction);
  void ClearJunctions();
  // Takes the segment off every junction it lies on, the junctions forgetting it too (a segment
  // taken off the plan leaves no corner pointing at it).
  void LeaveJunctions();

  // Moves the segment, the junctions it leads (those whose first link is this segment) and its
  // children by `delta`.
  void Translate(const ppVector3& delta);
  // Moves the end (or ends) lying at `from` to `to` and carries the children along the wall.
  void MoveEndPoint(const ppVector3& from, const ppVector3& to);
  // The side faces of the wall as a handle of entries; the caller owns it. No entries yet: the face
  // geometry is wired in with the canvas.
  Handle BuildSideEdges();

  // ---- Properties: the top-view element's, then "WallHeight", "WallThickness", "RoundWall".
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;

  // The feature's record, then the segment's fields and its junction ids.
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;

  // A wall is printed and exported with the room's outline, not as a unit of its own: no outline,
  // no unit number and no drawing-export block. Its doors and windows still print themselves.
  void PrintContent(ppDC& /*dc*/, int32_t /*page*/) override {}
  // Walls take no part in snapping: the corners join them, and the canvas relinks what stands in
  // the room after a wall changes. Asked of a wall, these leave every link as it is.
  void DisconnectSnaps(zelvproElement* /*a*/, zelvproElement* /*b*/, int32_t /*anchorA*/,
                       int32_t /*anchorB*/) override {}
  void ReleaseOutsideSnaps(ElementList& /*list*/) override {}
  void Resnap() override {}
  // The plan measures walls through their labels and the wall bodies, not through the segment.
  void CollectDimensionLines(std::vector<PlanAnnotation>& /*list*/) override {}

  // ---- Outline, handles and measuring feedback. Plan points are millimetres; every rectangle,
  // point and shape command is in window pixels of the plan canvas.
  // Writes the wall's outline from `a` to `b` into `shape`. Outline only: the enlarged outline of
  // the hit region; otherwise the drag outline with pointed ends, the arc's height and, while the
  // dragged length differs from the stored one, the length label. The drag form tracks the ends.
  void BuildOutline(const ppVector3& a, const ppVector3& b, iShape& shape, bool outlineOnly);
  // The drag feedback of the move and stretch tasks: the dimension font, then the drag outline.
  void DrawOutlineWithDimension(const ppVector3& a, const ppVector3& b, iShape& shape);
  // A measuring line from pixel `a` to pixel `b`, its two extension lines and `text` (Windows-1252)
  // beside it, on the normal's side (negated with `side`, and again when the canvas has no room
  // there). A label of zero length draws nothing.
  static void DrawDimensionLabel(const plat::POINT& a, const plat::POINT& b, bool side, iShape& shape,
                                 const char* text);
  // The 10 by 10 square around the arc midpoint of an arched segment; all zero for a straight one.
  // Both store the handle's plan point in the label point.
  void GetArcHandleRect(plat::RECT& out);
  // (x - 4, y - 4, x + 6, y + 6) around the chord midpoint of a straight segment; all zero when arched.
  void GetMidHandleRect(plat::RECT& out);
  // The mid handle of a straight, unlocked segment of the current canvas.
  void DrawContent(ppDC& dc) override;
  // The enlarged outline, the arc handle and the children's frame regions. The wall's own part is
  // kept until its ends, thickness, arc or the plan's pixel mapping change.
  std::unique_ptr<ppRegion> GetFrameRegion() override;
  std::unique_ptr<ppRegion> NewFrameRegion() override;
  bool ContainsPoint(int32_t x, int32_t y) override;
  // ContainsPoint with the plan's pixel mapping (PlanScale, PlanPixelOrigin) given, for a caller
  // that asks many walls about one mouse position.
  bool ContainsPointMapped(int32_t x, int32_t y, double scale, const plat::POINT& origin);
  // Draw Walls mode: the distances from the mouse to both wall ends, drawn in XOR and recorded so
  // that the next move or the leave erases them.
  void MouseEnter(int32_t x, int32_t y) override;
  void AdjustCursor(int32_t x, int32_t y) override;
  void MouseLeave() override;
  // Distance of plan point `q` from a straight segment, its foot taken along q -> r (along the
  // normal when r equals q); below `tolerance` q becomes the foot. The largest float when the point
  // is not near the segment, and for arched segments.
  float DistanceToPoint(ppVector3& q, const ppVector3& r, float tolerance) const;

  // ---- Editing with the mouse and by command.
  // The press handler: a locked wall takes the press and does nothing; in Draw Walls mode the canvas
  // takes it; the arc handle of a round wall starts the round-wall task; otherwise the wall is
  // selected (the others deselected unless Shift is held) and a wall move task (a corner stretch
  // task when a corner was hit) is started and posted on the canvas's history. A wall holding doors
  // or windows hands the press to the canvas.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  // The room canvas's panel: the wall values are edited there.
  void BuildInfoPanel(qxViewHolder* source) override;
  // Command 1000 (the press that drags the selection) is the canvas's; the rest the element's.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // An undoable wall move by (dx, dy) pixels, made as a drag of the whole wall.
  void MoveBy(int32_t dx, int32_t dy) override;
  // A dragged wall length (millimetres) cut down to the length grid: 50 mm, or 50.8 mm (two inches)
  // in imperial units; towards zero, never up. With Ctrl held the length is kept.
  static float snapWallLength(float length);

 private:
  void InitMembers();
  void ReadSegmentRecord(ppDatafile& module);
  // Switches the arc on or off; a new arc bulges a fortieth of the chord.
  void SetRoundWall(bool on);
  // The canvas rebuilds the room and the plan is redrawn.
  void RebuildRoom();
  float KeyOf(const qxJunctionRec* node) const;

  qxJunctionRec* junctions_ = nullptr;  // owned chain
  float thickness_ = 0.0f;
  float height_ = 0.0f;
  ppVector3 start_, end_;
  ppVector3 savedStart_, savedEnd_;
  ppVector3 labelPoint_;
  ppVector3 previousStart_, previousEnd_;
  bool arched_ = false;
  float radius_ = 0.0f;
  ppVector3 centre_;
  bool clockwise_ = false;
  bool hoverLabelSide_ = false;
  bool endMoved_ = false;
  bool hoverSideFixed_ = false;

  // ---- Outline and hover state.
  // Erases the recorded hover feedback (drawn again in XOR) and forgets it.
  void EraseHover();
  // The measuring pair of the drag feedback and the refit of the arc through the moved handle.
  void TrackDraggedEnds(const ppVector3& a, const ppVector3& b, qxJunction*& j1, ppVector3& m1,
                        qxJunction*& j2, ppVector3& m2);
  void DrawLengthLabel(qxJunction* j1, ppVector3 m1, qxJunction* j2, ppVector3 m2, iShape& shape);
  void DrawArcHeight(const ppVector3& a, const ppVector3& b, iShape& shape);
  // The arc midpoint over the chord a-b of this segment's circle.
  ppVector3 ArcMidpoint(const ppVector3& a, const ppVector3& b) const;
  std::unique_ptr<ppShape> hoverShape_;  // the feedback on the window now; owned
  // The enlarged outline and the arc handle, kept until the wall or the plan's pixel mapping changes.
  const ppRegion& OwnHitRegion(double scale, const plat::POINT& origin);
  HitRegionCache hitRegion_;
};
