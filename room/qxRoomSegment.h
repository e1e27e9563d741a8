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

#include "elements/topview/qxFeature.h"
#include "foundation/Vcon_HandleManager.h"
#include "room/qxJunctionRec.h"

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
};
