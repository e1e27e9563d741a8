#include "room/qxNewRoomCanvas.h"

#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "platform/ResetList.h"
#include "room/JunctionChainIndex.h"
#include "room/qxJunction.h"
#include "room/qxLineCycle.h"
#include "room/qxRoomSegment.h"

namespace {

// The most recently constructed room canvas (user-interface thread); not owned.
qxNewRoomCanvas* gCurrent = nullptr;
[[maybe_unused]] const bool kReset = plat::ResetList::Add("room canvas", [] { gCurrent = nullptr; });

}  // namespace

qxNewRoomCanvas::qxNewRoomCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database)
    : zelvproTopCanvas(parent, frame, database) {
  Subscribe(kPanelChannel, kRebuildPanel);
  SetFrame(frame);
  gCurrent = this;
  wallThickness = float(NewRoomDefault(1246));
  wallHeight = float(NewRoomDefault(1247));
  gridEnabled = (iApplicationSettings::Current().flags1 & iApplicationSettings::kRoomGridOn) != 0;
}

qxNewRoomCanvas::~qxNewRoomCanvas() {
  delete junctions;
  delete cycles;
  if (gCurrent == this) gCurrent = nullptr;
}

qxNewRoomCanvas* qxNewRoomCanvas::Current() { return gCurrent; }

void qxNewRoomCanvas::ClearRoom() {
  cornerIndex.reset();  // it names the corners that go
  delete junctions;
  delete cycles;
  junctions = nullptr;
  cycles = nullptr;
  RebuildViewHolders();
}

qxJunction* qxNewRoomCanvas::FindJunctionById(int32_t id) const {
  for (qxJunction* j = junctions; j != nullptr; j = j->GetNext())
    if (int32_t(j->GetId()) == id) return j;
  return nullptr;
}

qxLineCycle* qxNewRoomCanvas::FindCycleById(int32_t id) const {
  for (qxLineCycle* c = cycles; c != nullptr; c = c->next)
    if (c->id == id) return c;
  return nullptr;
}

WallEdge* qxNewRoomCanvas::FindEdgeById(int32_t id) const {
  for (qxLineCycle* c = cycles; c != nullptr; c = c->next) {
    for (int32_t i = 0; i < c->EdgeCount(); ++i)
      if (c->EdgeAt(i)->id == id) return c->EdgeAt(i);
  }
  return nullptr;
}

void qxNewRoomCanvas::BindSegment(qxRoomSegment* segment) {
  for (qxLineCycle* c = cycles; c != nullptr; c = c->next) {
    for (int32_t i = 0; i < c->EdgeCount(); ++i) {
      WallEdge* e = c->EdgeAt(i);
      if (e->segment == nullptr && e->savedSegmentId == segment->GetSaveId()) e->segment = segment;
    }
  }
}

void qxNewRoomCanvas::ReceiveMessage(ppCollaborator* /*sender*/, int32_t /*channel*/, int32_t id,
                                     intptr_t /*parameter*/) {
  if (id == kRebuildPanel) BuildInfoPanel(nullptr);
}

zelvproElement* qxNewRoomCanvas::FindFloor() const {
  zelvproElement* found = nullptr;
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (found == nullptr && child->kind == 1025) found = child;
  });
  return found;
}

int32_t qxNewRoomCanvas::CountFloors() const {
  int32_t n = 0;
  ForEachChildElement(*this, [&](zelvproElement* child) { n += child->kind == 1025 ? 1 : 0; });
  return n;
}

int32_t NewRoomDefault(int32_t id) {
  switch (id) {
    case 1238:
      return 0;
    case 1242:
      return 1;
    case 1246:
      return 150;
    case 1247:
      return 2350;
    default:
      return 0;
  }
}
