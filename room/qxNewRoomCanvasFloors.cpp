// The floor rebuild and the room commands: the corners are made again from the segment ends, the
// side faces and cycles from the corners, and every inner cycle gets a new floor that takes over the
// settings of the floor it replaces. The replaced floors go later, through ppEraseOldFloors.
#include <unordered_set>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "room/ppEraseOldFloors.h"
#include "room/qxFloorElement.h"
#include "room/qxJunction.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace {

// Every segment linked at a corner, once each: corner chain order, then link order.
std::vector<qxRoomSegment*> LinkedSegments(qxJunction* junctions) {
  std::vector<qxRoomSegment*> out;
  std::unordered_set<qxRoomSegment*> seen;
  for (qxJunction* j = junctions; j != nullptr; j = j->GetNext()) {
    for (qxJunctionLink* link = j->GetFirstLink(); link != nullptr; link = link->GetNext()) {
      qxRoomSegment* s = link->GetSegment();
      if (s != nullptr && seen.insert(s).second) out.push_back(s);
    }
  }
  return out;
}

// The side faces of all segments back to back, in segment order; the caller owns the handle.
Handle CollectSideEdges(const std::vector<qxRoomSegment*>& segments) {
  for (qxRoomSegment* s : segments) s->SortJunctions();
  Handle all = nullptr;
  Vcon_HandleManager::MemNew(&all, 0);
  for (qxRoomSegment* s : segments) {
    Handle edges = s->BuildSideEdges();
    if (edges != nullptr) MemInsertHandle(edges, all, kMemAppend);
    MemDispose(edges);
  }
  return all;
}

std::vector<qxRoomSegment*> SegmentChildren(const ppView& canvas) {
  std::vector<qxRoomSegment*> out;
  ForEachChildElement(canvas, [&](zelvproElement* child) {
    if (auto* s = dynamic_cast<qxRoomSegment*>(child)) out.push_back(s);
  });
  return out;
}

// A new floor on `cycle`, with the settings of the old floors it replaces; `floorToSelect` becomes
// the new floor when a replaced one was selected.
void MakeFloorFor(qxNewRoomCanvas& canvas, qxLineCycle* cycle, qxLineCycle* oldCycles, int32_t count,
                  qxFloorElement*& floorToSelect) {
  // A new floor has no catalogue record of its own: it is made from an empty top-view record (a
  // buffer of its own, so that the table's current record stays as it was).
  zelvproTopViewFil& table = canvas.database->TopViewFile();
  const ScopedRecordBuffer<ppDatafile> empty(table);
  table.ClearRecordBuffer(empty.Get());
  auto* floor =
      new qxFloorElement(0, &canvas, plat::RECT{0, 0, 0, 0}, empty.Get(), canvas.database->ShapeFile());
  floor->SetRoom(cycle);
  OldFloorMatch match;
  for (int32_t n = 0; canvas.FindOldFloor(match, *cycle, oldCycles, n).floor != nullptr; ++n) {
    floor->CopyAttributes(*match.floor);
    floor->AdoptWallsFrom(match.floor, match.point, match.atStart, count);
    if (match.floor->IsSelected()) floorToSelect = floor;
    match.floor->Invalidate();
    if (count < 2) break;
  }
  floor->InvalidateTree();
  cycle->floor = floor;
}

// The old-floor matching mode of a rebuild after an edit of `element` (may be null): a straight
// segment walks its walls with the continuity test, a round one without. Without a segment to go
// by, one full forward walk hands every wall body its settings.
int32_t RebuildCount(zelvproElement* element) {
  auto* segment = dynamic_cast<qxRoomSegment*>(element);
  if (segment == nullptr) return -1;
  return segment->GetRadius() == 0.0f ? 1 : 0;
}

// The 3D refresh after a rebuild; with setting 1238 the floors are dropped first.
void RefreshFloorStep(qxNewRoomCanvas& canvas) {
  if (NewRoomDefault(1238) != 0) {
    std::vector<zelvproElement*> floors;
    ForEachChildElement(canvas, [&](zelvproElement* child) {
      if (child->kind == qxFloorElement::kKind) floors.push_back(child);
    });
    for (auto it = floors.rbegin(); it != floors.rend(); ++it) {
      for (qxLineCycle* c = canvas.Cycles(); c != nullptr; c = c->next)
        if (c->floor == *it) c->floor = nullptr;
      (*it)->Invalidate();
      (*it)->DetachFromSupervisor();
      delete *it;
    }
  }
  if (NewRoomDefault(1242) != 0) zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}

}  // namespace

void qxNewRoomCanvas::RebuildFloors(int32_t count) {
  const std::vector<qxRoomSegment*> segments = LinkedSegments(junctions);
  Handle edges = CollectSideEdges(segments);
  qxLineCycle* oldCycles = cycles;
  cycles = BuildCycles(edges);
  MemDispose(edges);

  qxFloorElement* floorToSelect = nullptr;
  if (database != nullptr) {
    for (qxLineCycle* c = cycles; c != nullptr; c = c->next)
      if (c->IsClosed() && c->IsInside()) MakeFloorFor(*this, c, oldCycles, count, floorToSelect);
  }
  if (floorToSelect != nullptr)
    ForEachChildElement(*this, [](zelvproElement* child) { child->Deselect(true); });
  ppEraseOldFloors::Post(oldCycles, floorToSelect);

  if ((iApplicationSettings::Current().flags1 & iApplicationSettings::kAnnounceRoomRebuild) != 0)
    Broadcast(kRoomChannel, kRoomRebuilt, 0);
}

OldFloorMatch& qxNewRoomCanvas::FindOldFloor(OldFloorMatch& match, const qxLineCycle& cycle,
                                             qxLineCycle* oldCycles, int32_t n) {
  match.floor = nullptr;
  match.atStart = true;
  for (qxLineCycle* old = oldCycles; old != nullptr; old = old->next) {
    if (!old->IsInside()) continue;
    for (int32_t o = 0; o < old->EdgeCount(); ++o) {
      const WallEdge oldEdge = *old->EdgeAt(o);
      for (int32_t e = 0; e < cycle.EdgeCount(); ++e) {
        const WallEdge& edge = *cycle.EdgeAt(e);
        const bool onStart = edge.start == oldEdge.start;
        if (!onStart && !(edge.end == oldEdge.end)) continue;
        if (match.floor != old->floor) --n;
        match.floor = old->floor;
        match.point = onStart ? edge.start : edge.end;
        if (!onStart) match.atStart = false;
        if (n == -1) return match;
      }
    }
  }
  match.floor = nullptr;
  return match;
}

ppVector2 qxNewRoomCanvas::GetFloorExtent() const {
  ppVector2 size(0, 0);
  if (auto* floor = dynamic_cast<qxFloorElement*>(FindFloor())) floor->GetOutlineExtent(size);
  return size;
}

void qxNewRoomCanvas::DoCommand(int32_t command, intptr_t parameter) {
  if (HandleEditorCommand(command, parameter)) return;
  if (command == kRefresh3D) return RefreshFloorStep(*this);
  if (command != kRebuildRoom) return zelvproTopCanvas::DoCommand(command, parameter);
  const std::vector<qxRoomSegment*> segments = SegmentChildren(*this);
  for (qxRoomSegment* s : segments) s->ClearJunctions();
  delete junctions;
  junctions = nullptr;
  BeginCornerIndex();
  for (qxRoomSegment* s : segments) {
    if (s->Start() == s->End()) continue;  // a wall of no length gets no corner
    AttachSegmentEnd(s, s->Start());
    AttachSegmentEnd(s, s->End());
    AddCrossingJunctions(s);
  }
  EndCornerIndex();
  RebuildFloors(RebuildCount(reinterpret_cast<zelvproElement*>(parameter)));
}
