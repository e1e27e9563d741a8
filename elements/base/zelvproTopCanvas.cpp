#include "elements/base/zelvproTopCanvas.h"

#include <algorithm>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iWorktopBuilder.h"

namespace {

constexpr float kNoLength = -1.0f;

std::vector<zelvproElement*> Children(const ppView& view) {
  std::vector<zelvproElement*> children;
  const ppViewList& list = view.Subviews();
  for (int32_t i = 0; i < list.Count(); ++i) children.push_back(static_cast<zelvproElement*>(list.At(i)));
  return children;
}

// The elements in ascending order of their property "EnumNumber"; equal numbers keep their order.
std::vector<zelvproElement*> InNumberingOrder(std::vector<zelvproElement*> elements) {
  std::vector<std::pair<int32_t, zelvproElement*>> keyed;
  for (zelvproElement* e : elements) keyed.emplace_back(e->GetValueByName("EnumNumber").ToInt(), e);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < keyed.size(); ++i) elements[i] = keyed[i].second;
  return elements;
}

}  // namespace

void zelvproTopCanvas::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproCanvas::WriteRecord(record, renumber, parentNumber);
  RecordField(record, "type").SetLong(record.GetRecordBuffer(), kRecordType);
}

void zelvproTopCanvas::ReadTopCanvasRecord(ppDatafile& record) {
  saveId = RecordField(record, "id").Long(record.GetRecordBuffer());
}

void zelvproTopCanvas::WriteOrderModule(iOrderWriter& writer) {
  for (zelvproElement* child : Children(*this)) child->WriteOrderModule(writer);
}

void zelvproTopCanvas::GenerateWorktops() {
  iWorktopBuilder& builder = iWorktopBuilder::Current();
  builder.RemoveGeneratedElements(*this);
  for (zelvproElement* child : Children(*this)) {
    if (child->kind != ElementKinds::kWorkTop) continue;
    child->DetachFromSupervisor();
    delete child;
  }
  zelvproElement* run = builder.NewWorktop();
  if (run == nullptr) return;
  for (zelvproElement* unit : InNumberingOrder(Children(*this))) run = unit->BuildWorktopStep(run);
  if (run->dimensions.x == kNoLength) {
    delete run;
    return;
  }
  AddSubview(run);
}
