#include "calculation/qxUnitTreeQuery.h"

#include "calculation/qxUnitTreeNode.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/iProperty.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "framework/ppSwitchBoard.h"

qxUnitTreeQuery::qxUnitTreeQuery(iProperty* target, qxUnitTreeNode* root,
                                 const Vcon::String& databaseProperty, const Vcon::String& unitProperty)
    : target_(target), root_(root) {
  if (target_ != nullptr) {
    databaseIndex_ = target_->IndexOf(databaseProperty);
    unitIndex_ = target_->IndexOf(unitProperty);
  }
  if (root_ == nullptr) return;
  std::vector<qxUnitTreeNode*> pending{root_};
  while (!pending.empty()) {
    qxUnitTreeNode* node = pending.back();
    pending.pop_back();
    nodes_.push_back(node);
    for (size_t i = node->ChildCount(); i-- > 0;) pending.push_back(node->ChildAt(i));
  }
}

qxUnitTreeQuery::~qxUnitTreeQuery() = default;

void qxUnitTreeQuery::SetValue(const ppParameter& value, bool notify) {
  if (target_ == nullptr || value.Type() == ppParameter::kNone) return;
  auto* node = dynamic_cast<qxUnitTreeNode*>(ppTreeViewNode::FromIdentity(value.ToLong()));
  if (node == nullptr) return;
  const int32_t identifier = node->Database() != nullptr ? node->Database()->Identifier() : 0;
  target_->SetValueAt(databaseIndex_, ppParameter(identifier), notify);
  target_->SetValueAt(unitIndex_, ppParameter(node->UnitRecordId()), notify);
  if (!message_.empty()) {
    const int32_t id = ppSwitchBoard::MessageIdByName(message_, true);
    ppSwitchBoard::Global().Dispatch(nullptr, ppSwitchBoard::kNamedChannel, id, 0);
  }
}

void qxUnitTreeQuery::GetValue(ppParameter& out) {
  if (target_ == nullptr || root_ == nullptr) return;
  const int32_t identifier = target_->GetValueAt(databaseIndex_).ToLong();
  ppParameter unitValue = target_->GetValueAt(unitIndex_);
  // A link property reads as the linked record; a record file's stored field is the record id.
  if (auto* file = dynamic_cast<ppDatafile*>(target_); file != nullptr && unitIndex_ >= 0)
    file->ppDatafile::GetFieldValue(unitIndex_, unitValue, nullptr);
  const int32_t unit = unitValue.ToLong();
  zelvDatabase* db = iElementHost::Current().FindDatabase(identifier);
  if (db == nullptr || unit <= 0) return;
  CalculationCatalogViews::Views& views = views_.For(*db);
  if (!CalculationCatalogViews::Read(*views.units, unit)) return;
  // The unit's "id" is its record id.
  if (qxUnitTreeNode* node = root_->FindById(views.units->CurrentRecordId()))
    out = ppParameter(node->Identity());
}

qxUnitTreeNode* qxUnitTreeQuery::NodeAt(int32_t item) const {
  return item >= 0 && size_t(item) < nodes_.size() ? nodes_[size_t(item)] : nullptr;
}

CalculationCatalogViews::Views* qxUnitTreeQuery::UnitOf(qxUnitTreeNode* node) {
  if (node == nullptr || node->Database() == nullptr || node->UnitRecordId() <= 0) return nullptr;
  CalculationCatalogViews::Views& views = views_.For(*node->Database());
  return CalculationCatalogViews::Read(*views.units, node->UnitRecordId()) ? &views : nullptr;
}

void qxUnitTreeQuery::GetColumn1(int32_t item, ppParameter& out) {
  if (qxUnitTreeNode* node = NodeAt(item)) out = ppParameter(node->Identity());
}

void qxUnitTreeQuery::GetColumn2(int32_t item, ppParameter& out) {
  if (CalculationCatalogViews::Views* views = UnitOf(NodeAt(item)))
    out = ppParameter(views->unitNumber.WideText(views->units->GetRecordBuffer()));
}

void qxUnitTreeQuery::GetColumn3(int32_t item, ppParameter& out) {
  if (CalculationCatalogViews::Views* views = UnitOf(NodeAt(item)))
    out = ppParameter(views->unitName.WideText(views->units->GetRecordBuffer()));
}

void qxUnitTreeQuery::GetColumn4(int32_t, ppParameter&) {}

ppTreeViewNode* qxUnitTreeQuery::GetTreeRoot() { return root_; }
