// A free-standing wall piece on the room plan (document module type 9): a filled polygon in its own
// frame that runs along the local x axis from x = 0 to x = its length. It carries a thickness, a
// height, a fill colour (percent, red, green, blue), a plain flag (filled white instead) and one more
// flag that is only kept and saved. When selected it shows a handle at each end; dragging one changes
// the wall's length and direction. Snap requests of id word 0 snap onto its outline edges.
//
// The outline is the own point list of the first outline (8-byte (x, z) points, millimetres, element
// frame); snap entries 0 and 1 are the two ends, and an entry whose code is kEndHandle has a handle.
// Every outline point and snap entry with x > 0 lies at the far end.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppVector2.h"
#include "framework/ColorConversion.h"

class zelvproWall : public zelvproTopViewElement {
 public:
  static constexpr int32_t kKind = 9;
  // Snap-entry codes with a handle: an end handle, and the plain entry (code 0).
  static constexpr int32_t kEndHandle = 999999;
  // Commands: take the colour the parameter points at (a ppRGBColor in percent); fill plain white.
  static constexpr int32_t kSetColour = 3042, kSetPlain = 3045;
  // Command: take back the Snapshot the parameter points at (the undo and redo of an end drag).
  static constexpr int32_t kRestoreSnapshot = 10003;

  // What an end drag changes: the outline's own points, the snap entries, the position and the angle
  // (millimetres, radians). The outline alone cannot give the angle back.
  struct Snapshot {
    std::vector<ppVector2> outline;
    std::vector<SnapAnchor> entries;
    ppVector3 position;
    float angle = 0.0f;
  };

  // A wall piece from the current record of a document-module table.
  zelvproWall(ppView* parent, ppDatafile& module, bool refresh);

  // ---- Element operations replaced here.
  // 3042 and 3045 act on the wall and are passed to every child; 10003 restores a snapshot; other
  // commands go to the base.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void DrawContent(ppDC& dc) override;
  void PrintContent(ppDC& dc, int32_t page) override;
  // Only a press inside the wall (or on a handle) is taken; children are not offered it.
  bool MouseDown(int32_t x, int32_t y) override;
  // The press handler: selection, then after the drag delay the end dragger or the wall task.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  bool ContainsPoint(int32_t x, int32_t y) override;
  // The outline's region united with the end handles' rectangles.
  std::unique_ptr<ppRegion> NewFrameRegion() override;
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return false; }
  // A query of code 0 snaps onto the nearest outline edge; other codes go to the base.
  zelvproElement* NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                              zelvproElement* asker, uint32_t flags) override;
  ppTask* CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas, void* feedbackSource) override;
  ppTask* CreateDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  // The wall posts no undo records: it only refreshes itself, its tree and the plan.
  void CommitEdits() override;
  bool HasCatalogEntry(int32_t /*id*/) override { return true; }
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;

  // ---- Own operations.
  // The handle of snap entry `index` in window pixels: the 7 by 7 box from (px - 3, py - 3) to
  // (px + 4, py + 4) around its point; all 0 for an entry without a handle or out of range.
  plat::RECT GetHandleRect(int32_t index) const;
  // The first entry with code kEndHandle whose handle holds the window pixel; -1 when none.
  int32_t FindHandleAt(int32_t x, int32_t y) const;
  // Drags end `end` (0: the start, 1: the far end) to window pixel (x, y); nothing when `frozen`.
  // The other end stays where it lies in the plan; the wall turns to run from start to far end.
  void DragEnd(int32_t end, int32_t x, int32_t y, bool frozen);
  // The outline edge nearest to plan point `p` (edge i runs from point i to point i + 1, the last
  // back to point 0), measured only where the perpendicular foot falls on the edge: its index when
  // that distance is below `tolerance`, else -1. `distance` gets the least distance found.
  int32_t NearestOutlineEdge(const ppVector2& p, float tolerance, float& distance) const;
  // The first outline placed into window pixels; the caller owns the list (null without outline).
  Handle GetPlacedOutline();

  Snapshot TakeSnapshot() const;
  // Puts every value of `shot` back exactly; the links of the snap entries (partners) stay as they
  // are now, since they belong to the plan, not to the drag.
  void RestoreSnapshot(const Snapshot& shot);

  // The outline's own points (element frame); empty without an outline.
  std::vector<ppVector2> OutlinePoints() const;
  void SetOutlinePoints(const std::vector<ppVector2>& points);

  float thickness = 0.0f;   // millimetres
  float wallHeight = 0.0f;  // millimetres
  bool priceFlag = false;   // kept and saved ("xcostumPrice"); the wall itself does not read it
  bool plain = false;       // filled white instead of `colour`
  ppRGBColor colour{};      // percent

 private:
  // Snap entry `index`'s point in the container's plan frame.
  ppVector3 PlacedEntryPoint(int32_t index) const;
  // Every outline point and snap entry lying beyond the start (x > 0) moves to x = `length`.
  void StretchTo(float length);
  // The outline's points turned by `turn` and moved by the position (x, z).
  std::vector<ppVector2> PlacedOutline(float turn) const;
  void StartDrag(int32_t x, int32_t y);
};
