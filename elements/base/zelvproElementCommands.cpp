// The element commands: the press on the plan that starts a mouse task, the step keys, tasks posted
// to the canvas's history, locks over the selection and the selection stored as a generated
// catalogue unit; and the factories through which an element chooses its mouse tasks.
#include <algorithm>
#include <cfloat>
#include <cstring>
#include <memory>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/InTransaction.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppCursorTable.h"
#include "framework/ppTask.h"

namespace {

enum Command : int32_t {
  kMouseDown = 1000,
  kStepUp = 2201,
  kStepDown = 2205,
  kStepLeft = 2209,
  kStepRight = 2213,
  kPostTask = 3036,
  kPostTaskAfterEdit = 3037,
  kLock = 3038,
  kUnlock = 3039,
  kInteriorLock = 3046,
  kInteriorUnlock = 3047,
  kGenerateUnit = 3049,
  kPostTaskToo = 3053,
};

// lockedChildBits: a child locked inside its container; kept locked by the interior unlock.
constexpr int32_t kLockedInside = 1;
constexpr int32_t kKeptLocked = 2;
// The box of the element alone (no children), as the geometry cache measures it.
constexpr int32_t kOwnBoxFlags = 0x240;

// The generated record: a group unit of the top canvas.
constexpr const char* kGeneratedName = "Generated";
constexpr int32_t kGeneratedFlags = 0x100;
constexpr int32_t kGroupType = 1;
constexpr int32_t kTopCanvas = 1;
// One "subItems" entry: {record id, 0, x, y, z, 0, angle, 0}, little-endian.
constexpr uint32_t kSubItemBytes = 32;

template <typename Fn>
void ForEachHeld(const qxViewHolder* chain, Fn fn) {
  for (const qxViewHolder* h = chain; h != nullptr; h = h->Next()) fn(h->Element());
}

ElementList ElementsOf(const qxViewHolder* chain) {
  ElementList list;
  ForEachHeld(chain, [&](zelvproElement* element) { list.push_back(element); });
  return list;
}

void SetBlobSize(const RecordField& field, char* record, uint32_t bytes) {
  if (Handle data = field.Data(record)) MemSetSize(data, bytes);
}

void AppendToBlob(const RecordField& field, char* record, const void* bytes, uint32_t count) {
  Handle data = field.Data(record);
  if (data == nullptr) return;
  const uint32_t size = uint32_t(MemGetSize(data));
  MemSetSize(data, size + count);
  std::memcpy(*data + size, bytes, count);
}

}  // namespace

void zelvproElement::AdjustCursor(int32_t /*x*/, int32_t /*y*/) { ppCursorTable::SetGlobalDefault(); }

void zelvproElement::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kMouseDown: {
      if (parameter == 0) return;
      // The press drags the plan's whole selection, whichever element was pressed: the canvas
      // handles it (a canvas class may take the command over).
      zelvproCanvas* canvas = GetCanvas();
      if (canvas != nullptr && canvas != this) return canvas->DoCommand(command, parameter);
      return MouseDownCommand(*reinterpret_cast<const plat::POINT*>(parameter));
    }
    case kStepUp:
      return KeyDown(0x26, 0);
    case kStepDown:
      return KeyDown(0x28, 0);
    case kStepLeft:
      return KeyDown(0x25, 0);
    case kStepRight:
      return KeyDown(0x27, 0);
    case kPostTask:
    case kPostTaskToo:
    case kPostTaskAfterEdit: {
      auto* task = reinterpret_cast<ppTask*>(parameter);
      if (task == nullptr) return;
      zelvproCanvas* canvas = GetCanvas();
      if (canvas == nullptr) {
        delete task;  // the history would own it; without one nobody would
        return;
      }
      canvas->Post(task);
      // Post deletes a task that leaves nothing to keep or that the top task absorbs.
      if (command == kPostTaskAfterEdit) canvas->AfterEdit(canvas->Holds(task) ? task : nullptr);
      return;
    }
    case kLock:
    case kUnlock:
    case kInteriorLock:
    case kInteriorUnlock:
    case kGenerateUnit: {
      // Locking skips the locked elements; the others reach every selected one.
      const bool skipLocked = command == kLock || command == kInteriorLock;
      std::unique_ptr<qxViewHolder> selection(CollectSelection(nullptr, skipLocked));
      if (command == kGenerateUnit) {
        if (selection != nullptr) MakeGeneratedUnit(selection.get());
        return;
      }
      ForEachHeld(selection.get(), [&](zelvproElement* element) {
        if (command == kLock) element->LockTree();
        if (command == kUnlock) element->UnlockTree();
        if (command == kInteriorLock) {
          element->interiorLock = 1;
          ForEachChildElement(*element,
                              [](zelvproElement* child) { child->lockedChildBits = kLockedInside; });
        }
        if (command == kInteriorUnlock) {
          element->interiorLock = 0;
          ForEachChildElement(*element, [](zelvproElement* child) {
            if ((child->lockedChildBits & kKeptLocked) == 0) child->lockedChildBits = 0;
          });
        }
      });
      return;
    }
    default:
      if (ppView* supervisor = GetSupervisor()) supervisor->DoCommand(command, parameter);
      return;
  }
}

void zelvproElement::MouseDownCommand(const plat::POINT& press) {
  const bool alt = IsAltKeyDown();
  zelvproCanvas* canvas = GetCanvas();
  if (alt && canvas != nullptr) {
    // The copies are made through the copy datafile. The task the duplication posted is dropped
    // from the history; when it posted none, an earlier edit stays.
    canvas->SaveSelection();
    const ppTask* before = canvas->DoneTop();
    canvas->LoadDocumentModules(0);
    if (canvas->DoneTop() != before) canvas->Remove(nullptr);
  }
  qxViewHolder* selection = CollectSelection(nullptr, true);
  if (selection == nullptr) return;
  zelvproElement* first = selection->Element();
  ppTask* task =
      alt ? first->CreateDraggerTask(selection, canvas) : first->CreateMoverTask(selection, canvas, nullptr);
  if (task == nullptr) {
    delete selection;
    return;
  }
  // The feedback shows the elements where they lie: the holders' start angles (kept for the task)
  // would turn each outline once more than its placement does.
  std::vector<float> angles;
  for (qxViewHolder* h = selection; h != nullptr; h = h->Next()) angles.push_back(h->angle), h->angle = 0.0f;
  std::unique_ptr<ppRegion> feedback = selection->ChainRegion();
  size_t i = 0;
  for (qxViewHolder* h = selection; h != nullptr; h = h->Next()) h->angle = angles[i++];
  ElementList moved = ElementsOf(selection);
  ReleaseOutsideSnaps(moved);
  iElementTaskFactory::Current().StartWithElement(task, press.x, press.y, std::move(feedback));
}

ppTask* zelvproElement::CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas,
                                        void* feedbackSource) {
  iElementTaskFactory& factory = iElementTaskFactory::Current();
  if (iElementHost::Current().CurrentViewId() == iElementHost::k3DView)
    return factory.New3DTask(selection, canvas);
  return factory.NewMoverTask(selection, canvas, feedbackSource);
}

ppTask* zelvproElement::CreateDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  return iElementTaskFactory::Current().NewDraggerTask(selection, canvas);
}

ppTask* zelvproElement::CreateRotateTask(intptr_t a, intptr_t b) {
  return iElementTaskFactory::Current().NewRotateTask(a, b);
}

void zelvproElement::MakeGeneratedUnit(const qxViewHolder* list) {
  if (list == nullptr) return;
  // Walked from the last listed element to the first: the catalogue and the access id are those of
  // the first element so met, and the sub-items follow in that order.
  ElementList elements = ElementsOf(list);
  ElementList walk(elements.rbegin(), elements.rend());

  ppVector3 origin(FLT_MAX, FLT_MAX, FLT_MAX);
  auto lower = [&](const ppVector3& p) {
    origin = ppVector3(std::min(origin.x, p.x), std::min(origin.y, p.y), std::min(origin.z, p.z));
  };
  zelvDatabase* catalogue = nullptr;
  for (zelvproElement* element : walk) {
    ppVector3 p;
    element->GetAbsolutePosition(p);
    const ppBounds3 box = element->GetBounds(0, kOwnBoxFlags);
    // An element without geometry counts as its reference point (an empty box spans -9e9..9e9
    // inside out, which would carry the origin far away).
    if (box.IsEmpty()) {
      lower(p);
    } else {
      lower(box.centre - box.half + p);
      lower(box.centre + box.half + p);
    }
    if (catalogue == nullptr) catalogue = element->GetDatabase();
  }
  // There is no file for the record.
  if (catalogue == nullptr) return;
  const int32_t accessId = walk.front()->ResolveAccessId();

  auto topViews = std::make_unique<zelvproTopViewFil>(*catalogue);
  char* record = topViews->GetRecordBuffer();
  // The access record is the template. Without one, or when the catalogue holds no such top view,
  // the record starts empty (an error escaping a menu command would stop the program).
  topViews->ClearRecordBuffer(nullptr);
  if (accessId != 0) {
    try {
      topViews->ReadRecord(accessId, nullptr);
    } catch (int32_t) {
      topViews->ClearRecordBuffer(nullptr);
    }
  }
  SetBlobSize(RecordField(*topViews, "shapes3D"), record, 0);
  SetBlobSize(RecordField(*topViews, "Subelements"), record, 0);
  RecordField(*topViews, "ID").SetLong(record, 0);
  RecordField(*topViews, "Name").SetText(record, Vcon::String(kGeneratedName));
  RecordField(*topViews, "flags").SetLong(record, kGeneratedFlags);
  RecordField(*topViews, "Type").SetLong(record, kGroupType);
  RecordField(*topViews, "Canvas").SetLong(record, kTopCanvas);

  const RecordField subItems(*topViews, "subItems");
  for (zelvproElement* element : walk) {
    if (element->recordId == 0) continue;
    ppVector3 p;
    element->GetAbsolutePosition(p);
    const ppVector3 offset = p - origin;
    const float turn = element->GetNormalizedAngle();
    int32_t entry[kSubItemBytes / 4] = {element->recordId, 0, 0, 0, 0, 0, 0, 0};
    std::memcpy(&entry[2], &offset.x, 4);
    std::memcpy(&entry[3], &offset.y, 4);
    std::memcpy(&entry[4], &offset.z, 4);
    std::memcpy(&entry[6], &turn, 4);
    AppendToBlob(subItems, record, entry, kSubItemBytes);
  }

  int32_t id = 0;
  db::InTransaction(*catalogue, [&] { topViews->AddRecord(&id, nullptr); });
  topViews->VisitRecord(GetHWND(), id);
}
