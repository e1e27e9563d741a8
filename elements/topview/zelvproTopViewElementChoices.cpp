// What a top-view element offers to choose: the units of an option (narrowed by price records and
// the excludes), the units of its top-view record, and which accessories it takes.
#include <algorithm>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/OptionKeyPairs.h"
#include "elements/topview/PriceRecordFields.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppMoney.h"

namespace {

// Class flags of an option.
constexpr uint32_t kOffersNothing = 0x8, kUnitsFromPriceKeys = 0x100, kPricedUnitsOnly = 0x10000;
// Top-view flags: only "Units" entries whose second word is 0 are unit choices.
constexpr int32_t kMainUnitsOnly = 0x800000;
// "DropItems" flags: may be dropped in.
constexpr int32_t kDroppable = 0x4;

// The units of `option` that the option keys of the priced records of `unit` name, in the order of
// the pairs and then of the option's units.
std::vector<int32_t> UnitsFromPriceKeys(zelvDatabase& db, ppDatafile& units, const TopViewOption& option,
                                        int32_t unit) {
  std::vector<int32_t> chosen;
  zelvproPriceFil& prices = db.PriceFile();
  if (prices.LookupPrice(unit, 0, 0, 0, nullptr) == 0) return chosen;
  for (int32_t id : FileSelection::Get(prices)) {
    const PriceRecordFields record(prices, id);
    if (record.price == ppMoney::kNoValue) continue;
    for (const auto& [key, unitId] : OptionKeyPairs::Read(record.optionKey)) {
      if (key != option.optionKey) continue;
      for (int32_t u : option.units) {
        if (CatalogReads::LongOf(units, u, "id") == unitId) chosen.push_back(u);
      }
    }
  }
  return chosen;
}

// Whether unit `unit` has a price record whose first price is not 0 (no value counts as priced).
bool HasNonZeroPrice(zelvDatabase& db, int32_t unit) {
  zelvproPriceFil& prices = db.PriceFile();
  const int32_t first = prices.LookupPrice(unit, 0, 0, 0, nullptr);
  return first != 0 && PriceRecordFields(prices, first).price != 0;
}

void RemoveFirst(std::vector<int32_t>& list, int32_t id) {
  auto found = std::find(list.begin(), list.end(), id);
  if (found != list.end()) list.erase(found);
}

}  // namespace

void zelvproTopViewElement::FillOptionChoices(ppDatafile& units, int32_t classId) {
  auto option = std::find_if(options.begin(), options.end(),
                             [&](const TopViewOption& o) { return o.classId == classId; });
  if (option == options.end()) return;
  if (!option->changed || database == nullptr) {
    FileSelection::Set(units, option->allowedUnits);
    return;
  }
  const bool priceDriven =
      (iApplicationSettings::Current().flags1 & iApplicationSettings::kPriceDrivenOptions) != 0;
  std::vector<int32_t> list;
  if (priceDriven && (option->classFlags & kUnitsFromPriceKeys) != 0) {
    list = UnitsFromPriceKeys(*database, units, *option, unitRecordId);
  } else if (priceDriven && (option->classFlags & kPricedUnitsOnly) != 0) {
    list = option->units;
    for (size_t i = list.size(); i-- > 0;) {
      if (!HasNonZeroPrice(*database, list[i])) list.erase(list.begin() + ptrdiff_t(i));
    }
  } else if ((option->classFlags & kOffersNothing) == 0) {
    list = option->units;
  }
  // Excludes: groups of a trigger unit, the units it rules out and a 0; a trigger of 0 ends them.
  for (size_t i = 0; i < excludes.size() && excludes[i] != 0;) {
    const int32_t trigger = excludes[i];
    const bool triggered = std::any_of(options.begin(), options.end(),
                                       [&](const TopViewOption& o) { return o.chosenUnit == trigger; });
    for (++i; i < excludes.size() && excludes[i] != 0; ++i) {
      if (triggered) RemoveFirst(list, excludes[i]);
    }
    ++i;
  }
  FileSelection::Set(units, list);
  option->allowedUnits = std::move(list);
  option->changed = false;
}

std::vector<int32_t> zelvproTopViewElement::CollectUnitChoices(bool all) {
  std::vector<int32_t> list;
  if (database == nullptr || recordId == 0) return list;
  const ScratchRecord record(database->TopViewFile2(), recordId);
  if (!record.Present()) return list;
  if ((record.Long("flags") & kMainUnitsOnly) != 0) all = false;
  const std::vector<int32_t> words = record.Words("Units");
  for (size_t i = 0; i + 1 < words.size(); i += 2) {
    const bool main = words[i + 1] == 0;
    if ((main || all) && std::find(list.begin(), list.end(), words[i]) == list.end())
      list.push_back(words[i]);
  }
  return list;
}

bool zelvproTopViewElement::AttachAccessory(zelvproElement* element) {
  if (element == nullptr || element->GetSupervisor() != nullptr) return true;
  // An element that holds this one (the root of its tree) would become its own container.
  for (ppView* view = this; view != nullptr; view = view->GetSupervisor()) {
    if (view == element) return true;
  }
  AddSubview(element);
  return true;
}

bool zelvproTopViewElement::AcceptsAccessory(int32_t type) {
  if (database == nullptr || recordId == 0) return false;
  const std::vector<int32_t> items =
      ScratchRecord(database->TopViewFile2(), firstRecordId).Words("DropItems");
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    if (items[i] == type && (items[i + 1] & kDroppable) != 0) return true;
  }
  return false;
}
