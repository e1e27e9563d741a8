#include "elements/base/qxAssignEnumNumbers.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "database/PropertySorting.h"
#include "database/ppPropertyObjectList.h"
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

// The list's item numbers ordered by a sort description, as the property sort orders them. The keys
// do not change while the pass sorts, so each unit's keys are read once (a unit's run keys look at
// its neighbours' classes in the catalogue) instead of at every comparison. A description naming an
// undefined property leaves the list order.
std::vector<int32_t> SortedItems(ppPropertyObjectList& list, const char* description) {
  std::vector<int32_t> order(size_t(list.CountItems()));
  for (size_t i = 0; i < order.size(); ++i) order[i] = int32_t(i);
  std::vector<SortKey> keys;
  if (!ParseSortSpec(list, description, keys)) return order;
  std::vector<std::vector<ppParameter>> values(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    for (const SortKey& key : keys) values[i].push_back(list.ObjectAt(int32_t(i))->GetValueAt(key.property));
  }
  std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    for (size_t k = 0; k < keys.size(); ++k) {
      const ppParameter& va = values[size_t(a)][k];
      const ppParameter& vb = values[size_t(b)][k];
      if (va < vb) return keys[k].ascending;
      if (va > vb) return !keys[k].ascending;
    }
    return false;
  });
  return order;
}

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
  int32_t group = 1;
  for (int32_t item : SortedItems(*list, kRunOrder)) {
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
  int32_t number = 1;
  for (int32_t item : SortedItems(numbered, kNumberOrder))
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
