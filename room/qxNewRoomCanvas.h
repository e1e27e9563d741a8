// The canvas on which the room itself is designed: its children are the wall segments, the wall
// bodies, the floors and the doors, windows, structure elements and wall pieces of the room; the
// corners (junctions) and the outline cycles of side faces are kept by the canvas itself. It holds
// the room's wall defaults and drawing grid as properties, shows the room panel, stores the outline
// in the document as a table of line-segment records and makes the room's elements again when a
// document is loaded. Every edit of the outline ends in command 4033 (corners, side faces, cycles,
// floors) and 4034 (the 3D view).
//
// There is one per document window; the most recently constructed one is published as Current().
// Ownership: the canvas owns its junction chain and its cycle list; its children as every view does.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "elements/base/zelvproTopCanvas.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"
#include "framework/ppCollaborator.h"
#include "room/WallEdge.h"

class JunctionChainIndex;
class ppDatafile;
class qxFloorElement;
class qxJunction;
class qxLineCycle;
class qxRoomSegment;

// Where a new cycle meets a cycle of the outline it replaces (the old-floor search).
struct OldFloorMatch {
  qxFloorElement* floor = nullptr;  // the matched old floor, or null
  ppVector3 point;                  // the shared point
  bool atStart = true;              // matched on start points (false: on end points)
};

class qxNewRoomCanvas : public zelvproTopCanvas, public ppCollaborator {
 public:
  // Commands of the canvas: rebuild corners, faces, cycles and floors; refresh the 3D view.
  static constexpr int32_t kRebuildRoom = 4033, kRefresh3D = 4034;
  // Switchboard: channel 1001 message 1001 rebuilds the room panel; channel 1004 carries the
  // room-wide wall height (1020) and thickness (1021) to every wall body, each with a pointer to one
  // float in millimetres; channel 1003 message 1012 announces a rebuilt room.
  static constexpr int32_t kPanelChannel = 1001, kRebuildPanel = 1001;
  static constexpr int32_t kWallChannel = 1004, kAllWallHeights = 1020, kAllWallThicknesses = 1021;
  static constexpr int32_t kRoomChannel = 1003, kRoomRebuilt = 1012;
  // The canvas's own module record has this "type".
  static constexpr int32_t kRecordType = -1;

  qxNewRoomCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database);
  ~qxNewRoomCanvas() override;

  // The most recently constructed room canvas; null when there is none (cleared when it goes).
  static qxNewRoomCanvas* Current();

  // ---- Room values (millimetres).
  float WallThickness() const { return wallThickness; }
  float WallHeight() const { return wallHeight; }
  bool GridEnabled() const { return gridEnabled != 0; }
  float GridSize() const { return gridSize; }
  qxJunction* Junctions() const { return junctions; }
  qxLineCycle* Cycles() const { return cycles; }

  // Deletes the corners and the cycles and rebuilds the view holders.
  virtual void ClearRoom();

  // ---- Finding by id; null when none.
  qxJunction* FindJunctionById(int32_t id) const;
  qxLineCycle* FindCycleById(int32_t id) const;
  // Over every cycle in list order, each cycle's faces in order.
  WallEdge* FindEdgeById(int32_t id) const;
  // Every face whose saved segment id is the segment's document id gets the segment itself.
  void BindSegment(qxRoomSegment* segment);

  // ---- Collaborator: message 1001 rebuilds the room panel.
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // ---- Properties 0-6: "WallHeight", "WallThickness", "GridEnabled", "GridSize",
  // "AllWallHeights", "AllWallThicknesses", "ShowNumbers".
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;
  // The room panel in the information configurator.
  void BuildInfoPanel(qxViewHolder* source) override;

  // ---- Document records.
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // Reads the canvas's own module record: wall values, grid and the outline table.
  void ReadCanvasRecord(ppDatafile& record);
  // Makes the plan's elements from the module table, in table order.
  void LoadPlanModules(ppDatafile& modules);
  // A new straight wall from `start` to `end` (plan millimetres) made of the catalogue's wall record,
  // with the room's wall thickness and height, as a child of `parent`, which owns it; null when no
  // catalogue is open. The room is not rebuilt.
  qxRoomSegment* MakeWall(ppView* parent, const ppVector3& start, const ppVector3& end);
  // Moves the room so that every wall end keeps the margin from the plan's origin; the plan's other
  // elements follow through sweepers. Answers the shift applied to the walls (millimetres, zero
  // when none), so that a caller holding wall points can shift them alike.
  ppVector3 KeepRoomInsideMargin();

  // ---- Plan bounds and queries.
  // The corners of the outline's rectangle in plan (x, z): (min x, min z), (min x, max z),
  // (max x, max z), (max x, min z); (0, 0)-(10000, 6000) without any segment.
  void ComputeBounds(ppVector2 corners[4]);
  // The first child floor (kind 1025); null when none.
  zelvproElement* FindFloor() const;
  int32_t CountFloors() const;
  // Hands out document ids while a document is loaded (post-increment).
  int32_t NextSaveId() { return nextSaveId++; }
  // The size of the floor's outline rectangle (x, z); (0, 0) without a floor.
  ppVector2 GetFloorExtent() const;
  void ExtendBounds2D(ppVector2& min, ppVector2& max) override;
  // Moves every child but the room segments.
  void OffsetTopViewChildren(const ppVector3& offset) override;
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return true; }

  // ---- Corners and cycles.
  // Between these two calls AttachSegmentEnd, AddCrossingJunctions and FindJunctionAt look corners
  // up in an index of the chain instead of walking it (a rebuild of n walls then costs about n, not
  // n squared); their results and orders are those of the walks. Meanwhile only those calls may
  // change the chain, and no corner or wall may move. Begin indexes the chain as it stands.
  void BeginCornerIndex();
  void EndCornerIndex();
  // Joins the segment's end at `point` to the nearest corner (nearer than 1.0), else to a new one.
  void AttachSegmentEnd(qxRoomSegment* segment, const ppVector3& point);
  // Puts corners where the segment crosses the segments at its corners.
  void AddCrossingJunctions(qxRoomSegment* segment);
  // The first corner within 0.5 of `point`; null when none.
  qxJunction* FindJunctionAt(const ppVector3& point) const;
  // Chains the faces into cycles (the newest first), with depth and orientation of closed ones.
  qxLineCycle* BuildCycles(Handle edges);
  static bool IsTurningPositive(const qxLineCycle& cycle);
  static void ReverseCycle(qxLineCycle& cycle);

  // ---- Floors.
  // Rebuilds the side faces, the cycles and the floors; `count` is the old-floor matching mode.
  void RebuildFloors(int32_t count);
  // The n-th old floor (from 0) that shares a start or end point with the new cycle.
  OldFloorMatch& FindOldFloor(OldFloorMatch& match, const qxLineCycle& cycle, qxLineCycle* oldCycles,
                              int32_t n);

  // ---- Commands: 4033, 4034 here; the rest to the top canvas.
  void DoCommand(int32_t command, intptr_t parameter) override;

  // ---- Repairs after an outline edit: resnap, door pass, push-back.
  // The outline keeps no snap links: releasing only marks the corners for re-attachment.
  void ReleaseOutsideSnaps(ElementList& list) override;
  // After ReleaseOutsideSnaps only: joins the listed segments' ends to corners, drops the links of
  // segments no longer on the canvas and the corners that hold nothing, and rebuilds the room.
  void ResnapList(ElementList& list) override;
  void DisconnectSnaps(zelvproElement* /*a*/, zelvproElement* /*b*/, int32_t /*anchorA*/,
                       int32_t /*anchorB*/) override {}
  void Resnap() override {}
  // Seats every door and window on its wall again (the openings of the segments too).
  void FixDoors();
  // True while FixDoors runs: the door task's nudges then post no undo entry.
  bool SeatingOpenings() const { return seatingOpenings_; }
  // Shifts the listed elements in x and z so that their footprint comes back inside the room's
  // inner wall faces, with 0.1 mm clearance.
  void SnapElementsToWalls(const qxViewHolder* first);
  // The shift (x, z; 0 when none) that SnapElementsToWalls gives a footprint spanning `box`'s plan
  // extent (x and z of plan millimetres).
  ppVector3 WallPushBack(const ppBounds3& box) const;

  // ---- Editor commands, drawing, printing, presses, child order and loading.
  // Commands: delete the selection; send to every child; remove the last child.
  static constexpr int32_t kDeleteSelection = 36, kChildCommandA = 3042, kChildCommandB = 3045;
  static constexpr int32_t kRemoveLastChild = 4032;
  // Application colours: the room's background and its grid.
  static constexpr int32_t kBackgroundColour = 1022, kGridColour = 1023;
  // Commands 36, 204, 3042, 3045 and 4032; false for any other, which the caller handles.
  bool HandleEditorCommand(int32_t command, intptr_t parameter);
  // The background over the visible frame and the grid; the children follow, then the outline.
  void DrawContent(ppDC& dc) override;
  void Draw(ppDC& dc) override;
  // The side faces of every cycle: red where the face's segment is selected, else black.
  void DrawOutline(ppDC& dc);
  // The outline on a printed page (its header first when the page wants one), and as LINEs on
  // layer "ROOM" while a drawing export runs.
  void PrintContent(ppDC& dc, int32_t page) override;
  // A press on the room itself goes to its floor, which becomes the selection; false without one.
  // In the Draw Walls mode it starts a new wall there instead (see DrawWall).
  bool IsDoubleClick(int32_t x, int32_t y) override;
  // Starts the task that draws a new wall from the window point (x, y) and posts it on the canvas's
  // history; false when the canvas has none.
  bool DrawWall(int32_t x, int32_t y);
  // Other children keep their order; the wall bodies go last, in reverse; kind 2 goes first.
  void AfterEdit(ppTask* task) override;
  // Builds elements from the canvas's module datafile and posts them as one paste.
  void LoadDocumentModules(int32_t flag) override;
  // The canvas sets no cursor of its own.
  void AdjustCursor(int32_t /*x*/, int32_t /*y*/) override {}

 protected:
  // A module-table element was made: the save ids go on after its id and it is drawn anew.
  void Loaded(zelvproElement* element);
  // Makes the walls of an old-style room polygon (module type 2) as children of `parent`; false when
  // the record held no polygon (fewer than 3 whole points) or no catalogue was open.
  bool ConvertRoomPolygon(ppDatafile& module, zelvproElement* parent);
  // The catalogue new walls are made from: the wall record's, else catalogue 1, else the canvas's.
  zelvDatabase* WallDatabase() const;

  float wallThickness = 150.0f;
  float wallHeight = 2350.0f;
  int32_t nextSaveId = 0;
  qxJunction* junctions = nullptr;                  // owned chain
  qxLineCycle* cycles = nullptr;                    // owned list
  std::unique_ptr<JunctionChainIndex> cornerIndex;  // owned; only between Begin/EndCornerIndex
  uint8_t junctionsDirty = 0;                       // segments moved: their corners must be re-attached
  uint8_t gridEnabled = 0;
  float gridSize = 500.0f;

 private:
  bool seatingOpenings_ = false;
};

// The fixed defaults of a new room by setting id: 1238 (0), 1242 (1), 1246 wall thickness (150),
// 1247 wall height (2350); 0 for any other id.
int32_t NewRoomDefault(int32_t id);
