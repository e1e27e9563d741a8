#include "elements/base/qxAssignEnumNumbers.h"

#include <memory>
#include <vector>

#include "database/ppPropertyObjectList.h"
#include "database/ppPropertySort.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "platform/ResetList.h"

namespace {

// A numbering sweeper is posted and has not run yet; user-interface thread only.
bool gScheduled = false;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("enum numbering", [] { gScheduled = false; });

// Run ends and single units first, then the larger first-snap direction, the smaller x, the larger z.
constexpr const char* kRunOrder = "NumberOfSequenceSnaps|-FirstSnapDirection|XPosition|-ZPosition";
constexpr const char* kNumberOrder = "EnumClass|EnumGroup|SequenceNumber";

// The property indexes of the numbering, taken from the first child: the children share the
// top-view element's property table.
struct NumberingIndexes {
  explicit NumberingIndexes(iProperty& list)
      : sequence(list.IndexOf("SequenceNumber")),
        group(list.IndexOf("EnumGroup")),
        enumClass(list.IndexOf("EnumClass")),
        number(list.IndexOf("EnumNumber")) {}
  int32_t sequence, group, enumClass, number;
};

bool HasValue(const ppParameter& value) { return value.Type() != ppParameter::kNone; }

// Pass 1: clears the run fields, then starts a run at every numbered unit not yet reached, in run
// order; the writes of 1 and of the group travel along the whole run.
void NumberRuns(zelvproElement& canvas) {
  std::unique_ptr<ppPropertyObjectList> list = canvas.MakeChildPropertyList();
  if (list->CountItems() == 0) return;
  const NumberingIndexes at(*list);
  for (int32_t i = 0; i < list->CountItems(); ++i) {
    iProperty* unit = list->ObjectAt(i);
    unit->SetValueAt(at.sequence, ppParameter(-1), false);
    unit->SetValueAt(at.group, ppParameter(-1), false);
  }
  ppPropertySort sorted(list.get());
  sorted.SortBySpec(kRunOrder);
  int32_t group = 1;
  for (int32_t item : sorted.Order()) {
    iProperty* unit = list->ObjectAt(item);
    if (!HasValue(unit->GetValueAt(at.enumClass)) || unit->GetValueAt(at.sequence).ToLong() != -1) continue;
    unit->SetValueAt(at.sequence, ppParameter(1), false);
    unit->SetValueAt(at.group, ppParameter(group++), false);
  }
}

// Pass 2: numbers the units of numbered classes in class, group and run order. Units without a class
// value are kept out of the sort and get 0: a value-less key compares equal to every other, which
// would leave the numbered units around it unordered.
void NumberUnits(zelvproElement& canvas) {
  std::unique_ptr<ppPropertyObjectList> children = canvas.MakeChildPropertyList();
  if (children->CountItems() == 0) return;
  const NumberingIndexes at(*children);
  ppPropertyObjectList numbered;
  for (int32_t i = 0; i < children->CountItems(); ++i) {
    iProperty* unit = children->ObjectAt(i);
    if (HasValue(unit->GetValueAt(at.enumClass)))
      numbered.Append(unit);
    else
      unit->SetValueAt(at.number, ppParameter(0), false);
  }
  ppPropertySort sorted(&numbered);
  sorted.SortBySpec(kNumberOrder);
  int32_t number = 1;
  for (int32_t item : sorted.Order())
    numbered.ObjectAt(item)->SetValueAt(at.number, ppParameter(number++), false);
}

}  // namespace

qxAssignEnumNumbers::qxAssignEnumNumbers() : ppSweeper(iElementHost::Current().DocumentWindow()) {
  gScheduled = true;
}

qxAssignEnumNumbers::~qxAssignEnumNumbers() { gScheduled = false; }

void qxAssignEnumNumbers::Sweep() {
  zelvproElement::SetMuted(true);
  if (zelvproElement* canvas = iElementHost::Current().TopCanvas()) {
    canvas->Resnap();
    NumberChildren(*canvas);
  }
  zelvproElement::SetMuted(false);
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  gScheduled = false;
}

void qxAssignEnumNumbers::NumberChildren(zelvproElement& canvas) {
  NumberRuns(canvas);
  NumberUnits(canvas);
}

bool qxAssignEnumNumbers::Scheduled() { return gScheduled; }

void ScheduleEnumNumbering() {
  if (gScheduled || !iApplicationSettings::Current().numbering) return;
  new qxAssignEnumNumbers();  // the window's queue owns it until it has run
}
