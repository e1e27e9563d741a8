// The room canvas as an editor: its own commands, the press on the room, the child order after edits
// and building elements from the canvas's module datafile.
#include <vector>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/units/zelvproDoor.h"
#include "elements/units/zelvproParametricElement.h"
#include "elements/units/zelvproRoomWindow.h"
#include "elements/units/zelvproStructureElement.h"
#include "elements/base/PlanPressPass.h"
#include "framework/ppTask.h"
#include "framework/ppUndoer.h"
#include "room/qxDrawWallTask.h"
#include "room/qxNewRoomCanvas.h"
#include "room/zelvproRoomButtons.h"

namespace {

// A child kind that AfterEdit keeps in front of every other child.
constexpr int32_t kFrontKind = 2;

int32_t KindOf(ppView* view) {
  auto* element = dynamic_cast<zelvproElement*>(view);
  return element != nullptr ? element->kind : ElementKinds::kPlain;
}

// The selection as the delete command may take it: without the option, wall segments stay.
qxViewHolder* DeletableSelection(zelvproElement& canvas) {
  qxViewHolder* list = canvas.CollectSelection(nullptr, true);
  if ((iApplicationSettings::Current().flags1 & iApplicationSettings::kDeleteWallSegments) != 0) return list;
  std::vector<zelvproElement*> segments;
  for (qxViewHolder* h = list; h != nullptr; h = h->Next())
    if (h->Element() != nullptr && h->Element()->kind == ElementKinds::kRoomSegment)
      segments.push_back(h->Element());
  for (zelvproElement* s : segments) list = qxViewHolder::RemoveLinksTo(list, s);
  return list;
}

// The element a module record of `type` makes as a child of `parent`; null for a type the canvas
// does not build this way.
zelvproElement* MakeModuleElement(int32_t type, ppView* parent, ppDatafile& record) {
  switch (type) {
    case ElementKinds::kPlain:
      return new zelvproTopViewElement(parent, record, true);
    case ElementKinds::kStructure:
      return new zelvproStructureElement(parent, record, false);
    case ElementKinds::kDoor:
      return new zelvproDoor(parent, record, true);
    case ElementKinds::kRoomWindow:
      return new zelvproRoomWindow(parent, record, true);
    case ElementKinds::kParametric:
      return new zelvproParametricElement(parent, record, true);
    default:
      return nullptr;
  }
}

}  // namespace

bool qxNewRoomCanvas::HandleEditorCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kDeleteSelection: {
      qxViewHolder* list = DeletableSelection(*this);
      if (list == nullptr) return true;
      if (ppTask* task = iElementTaskFactory::Current().NewDeleteTask(this, list)) {
        task->Do();
        ScheduleUpdate();
        Post(task);
      }
      delete list;
      return true;
    }
    case kDeselectAll:
      zelvproTopCanvas::DoCommand(command, parameter);
      return true;
    case kChildCommandA:
    case kChildCommandB: {
      std::vector<zelvproElement*> children;
      ForEachChildElement(*this, [&](zelvproElement* child) { children.push_back(child); });
      for (zelvproElement* child : children) child->DoCommand(command, parameter);
      return true;
    }
    case kRemoveLastChild: {
      const ppViewList& children = Subviews();
      if (children.Count() == 0) return true;
      ppView* last = children.At(children.Count() - 1);
      last->Invalidate();
      last->DetachFromSupervisor();
      delete last;
      return true;
    }
    default:
      return false;
  }
}

bool qxNewRoomCanvas::IsDoubleClick(int32_t x, int32_t y) {
  // In the Draw Walls mode the walls and the floor leave every press to the canvas: it draws a wall.
  // The plan offers a press twice; the wall is drawn on the second offer, which is the canvas's own.
  if (DrawWallsMode) return !FirstPressPass() && DrawWall(x, y);
  zelvproElement* floor = FindFloor();
  if (floor == nullptr) return false;
  Deselect(true);
  floor->Select(false);
  BuildInfoPanel(nullptr);
  return floor->IsDoubleClick(x, y);
}

bool qxNewRoomCanvas::DrawWall(int32_t x, int32_t y) {
  ppUndoer* history = GetUndoer();
  if (history == nullptr) return false;
  Deselect(true);
  auto* task = new qxDrawWallTask(this);
  task->Start(x, y);
  history->Post(task);
  return true;
}

void qxNewRoomCanvas::AfterEdit(ppTask* /*task*/) {
  // Two passes over a snapshot of the order, so that moving a child never skips another.
  std::vector<ppView*> order;
  for (int32_t i = 0; i < Subviews().Count(); ++i) order.push_back(Subviews().At(i));
  for (size_t i = order.size(); i-- > 0;) {
    if (KindOf(order[i]) == ElementKinds::kWallBody) continue;
    RemoveSubview(order[i]);
    AddSubview(order[i]);
  }
  order.clear();
  for (int32_t i = 0; i < Subviews().Count(); ++i) order.push_back(Subviews().At(i));
  for (size_t i = order.size(); i-- > 0;) {
    RemoveSubview(order[i]);
    if (KindOf(order[i]) == kFrontKind)
      InsertSubview(order[i], 0);
    else
      AddSubview(order[i]);
  }
}

void qxNewRoomCanvas::LoadDocumentModules(int32_t flag) {
  ForEachChildElement(*this, [&](zelvproElement* child) { child->Deselect(flag != 0); });
  iElementHost& host = iElementHost::Current();
  ppDatafile* modules = host.CopyDatafile(this);
  if (modules == nullptr) return;
  qxViewHolder* made = nullptr;
  for (int32_t i = 0; i < modules->GetRecordCount(); ++i) {
    modules->ReadRecordAt(i, nullptr);
    const char* record = modules->GetRecordBuffer();
    const int32_t type = RecordField(*modules, "type").Long(record);
    if (type == kRecordType) {
      ReadCanvasRecord(*modules);
      continue;
    }
    zelvproElement* parent = FindById(RecordField(*modules, "parent").Long(record));
    if (parent == nullptr) parent = this;  // a parent outside the copy: the room keeps the element
    zelvproElement* element = MakeModuleElement(type, parent, *modules);
    if (element != nullptr && element->GetSupervisor() == this) made = new qxViewHolder(element, made, false);
  }
  ppTask* paste = iElementTaskFactory::Current().NewPasteTask(this, made, flag);
  if (paste == nullptr) {
    delete made;
  } else {
    paste->Do();
    Post(paste);
  }
  host.ShowDefaultConfigurator();
}
