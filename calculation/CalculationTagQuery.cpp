#include "calculation/CalculationTagQuery.h"

#include "catalogue/records/zelvproTagFil.h"
#include "database/ppDatafile.h"
#include "framework/ppSwitchBoard.h"

CalculationTagQuery::CalculationTagQuery(iProperty* lines, std::unique_ptr<zelvproTagFil> tags)
    : ppPropertySelectorQuery(lines, "tag", tags.release(), "dbId", "", "tname", "") {}

void CalculationTagQuery::SetValue(const ppParameter& value, bool notify) {
  ppPropertySelectorQuery::SetValue(value, notify);
  const int32_t id = ppSwitchBoard::MessageIdByName("UpdateCalculation", true);
  ppSwitchBoard::Global().Dispatch(nullptr, ppSwitchBoard::kNamedChannel, id, 0);
}

void CalculationTagQuery::GetColumn1(int32_t item, ppParameter& out) {
  if (item >= 0 && item < GetItemCount()) out = ppParameter(item * ppDatafile::kIdScale + 1);
}
