#include "calculation/qxUnitTreeNode.h"

#include <vector>

#include "calculation/CalculationCatalogViews.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TabField.h"
#include "foundation/TextReference.h"

qxUnitTreeNode::qxUnitTreeNode() = default;
qxUnitTreeNode::~qxUnitTreeNode() = default;

qxUnitTreeNode* qxUnitTreeNode::AddChild(std::unique_ptr<qxUnitTreeNode> child) {
  child->depth_ = depth_ + 1;
  return static_cast<qxUnitTreeNode*>(ppTreeViewNode::AddChild(std::move(child)));
}

qxUnitTreeNode* qxUnitTreeNode::ChildAt(size_t i) const {
  return i < Children().size() ? static_cast<qxUnitTreeNode*>(Children()[i].get()) : nullptr;
}

qxUnitTreeNode* qxUnitTreeNode::FindById(int32_t id) {
  // Pre-order with an explicit stack: children pushed last-first so the first child comes next.
  std::vector<qxUnitTreeNode*> pending{this};
  while (!pending.empty()) {
    qxUnitTreeNode* node = pending.back();
    pending.pop_back();
    if (node->id_ == id) return node;
    for (size_t i = node->ChildCount(); i-- > 0;) pending.push_back(node->ChildAt(i));
  }
  return nullptr;
}

const char* qxUnitTreeNode::ParseLine(const char* position, CalculationCatalogViews& views, bool& lineEnded) {
  char field[kFieldLimit + 1];
  const char* p = position;
  Vcon::String text[3];
  for (Vcon::String& out : text) {
    bool ended = false;
    p = ParseTabField(field, sizeof field, p, ended);
    out = field;
    if (p == nullptr) break;
    // A line end ends the field only: the record's next field is on the next line.
    lineEnded = ended;
  }
  TextToInt(id_, text[0]);
  database_ = nullptr;
  unitRecordId_ = 0;
  if (!text[1].empty()) {
    int32_t identifier = 0;
    TextToInt(identifier, text[1]);
    database_ = iElementHost::Current().FindDatabase(identifier);
  }
  if (database_ == nullptr) {
    SetName(ResolveTextRef(WideFromString(text[2])));
    return p;
  }
  // The unit's record id is the node id; the unit's own view answers without moving the catalogue's.
  CalculationCatalogViews::Views& unit = views.For(*database_);
  SetName(Vcon::WString());
  if (CalculationCatalogViews::Read(*unit.units, id_)) {
    unitRecordId_ = id_;
    SetName(unit.unitName.WideText(unit.units->GetRecordBuffer()));
  }
  return p;
}
