#include "catalogue/records/zelvproPriceFil.h"

#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/LocalisedText.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "foundation/PriceRounding.h"
#include "foundation/ppMoney.h"

namespace {

// Makes `to` an exact copy of the list `from`.
void CopyList(Handle to, Handle from) {
  const uint32_t size = uint32_t(MemGetSize(from));
  MemSetSize(to, size);
  std::memcpy(*to, *from, size);
}

Handle CopyOf(Handle list) {
  Handle copy = HandleList::New(0);
  CopyList(copy, list);
  return copy;
}

// Whole hundredths of a long field as money: 12345 -> 123.45.
int64_t HundredthsToMoney(int32_t hundredths) {
  return ppMoney::FromInteger(hundredths).DividedByInt(100).Raw();
}

}  // namespace

zelvproPriceFil::zelvproPriceFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      text_(*this, "text"),
      module_(*this, "module"),
      color_(*this, "color"),
      colorGroup_(*this, "colorGroup"),
      depth_(*this, "depth"),
      optionKey_(*this, "optionKey"),
      xprice_(*this, "xprice"),
      xprice2_(*this, "xprice2"),
      price_(*this, "price"),
      price2_(*this, "price2") {}

zelvproPriceFil::~zelvproPriceFil() { ClearPriceCache(); }

// ---- lookup ----------------------------------------------------------------------------------------

int32_t zelvproPriceFil::LookupPrice(int32_t module, int32_t color, int32_t colorGroup, int32_t depth,
                                     const char* optionKey) {
  PriceKey key{module, color, colorGroup, depth, optionKey != nullptr ? optionKey : ""};
  Handle& saved = cache_[key];
  if (saved != nullptr) {
    CopyList(GetSelection(), saved);
  } else {
    // An empty option key narrows nothing, like a missing one: both share one cache entry.
    QueryPrices(key, !key.optionKey.empty());
    // A key that found nothing keeps no list, so the next lookup asks the file again.
    if (GetSelectedCount() > 0) saved = CopyOf(GetSelection());
  }
  return GetSelectedCount() > 0 ? RecordIdAt(0) : 0;
}

void zelvproPriceFil::QueryPrices(const PriceKey& key, bool withOptionKey) {
  Handle selection = GetSelection();
  HandleList::Reset(selection);
  Handle found = Matches(module_, dbDatafile::kEqual, &key.module, nullptr);
  if (found == nullptr) return;
  CopyList(selection, found);
  HandleList::Dispose(found);
  const std::pair<const RecordField*, int32_t> narrowing[] = {
      {&color_, key.color}, {&colorGroup_, key.colorGroup}, {&depth_, key.depth}};
  for (const auto& [field, value] : narrowing) {
    if (value != 0) Narrow(selection, Matches(*field, dbDatafile::kEqual, &value, nullptr));
  }
  const char* text = key.optionKey.c_str();
  if (withOptionKey) Narrow(selection, Matches(optionKey_, dbDatafile::kInside, text, text));
}

// The records whose `field` compares with the keys, by the field's index; null when there are none
// (a field without an index matches nothing).
Handle zelvproPriceFil::Matches(const RecordField& field, int32_t comparison, const void* key1,
                                const void* key2) {
  if (!field.Exists()) return nullptr;
  return File().Select(field.Index(), '+', comparison, key1, key2, nullptr);
}

// Keeps the entries of `selection` that `matches` (disposed here; null: none) holds.
void zelvproPriceFil::Narrow(Handle selection, Handle matches) {
  if (matches == nullptr)
    HandleList::Reset(selection);
  else
    HandleList::IntersectWith(selection, matches);
  HandleList::Dispose(matches);
}

void zelvproPriceFil::ClearPriceCache() {
  for (auto& entry : cache_) HandleList::Dispose(entry.second);
  cache_.clear();
}

// ---- reading and text -------------------------------------------------------------------------------

void zelvproPriceFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  if (price_.MoneyRaw(buffer) == 0 && xprice_.Long(buffer) != 0) {
    price_.SetMoneyRaw(buffer, HundredthsToMoney(xprice_.Long(buffer)));
    price2_.SetMoneyRaw(buffer, HundredthsToMoney(xprice2_.Long(buffer)));
  }
  if (storedPrices_) return;
  if (text_.Exists()) {
    Vcon::WString text = text_.WideText(buffer);
    LocaliseRecordText(Database(), CurrentRecordId(), 0, text);
    text_.SetWideText(buffer, text);
  }
  if (CurrentDocumentPriceSettings() == nullptr) return;
  for (const RecordField* field : {&price_, &price2_}) {
    if (!field->Exists()) continue;
    ppMoney amount = ppMoney::FromRaw(field->MoneyRaw(buffer));
    ApplyPriceFactorAndRounding(amount, true);
    field->SetMoneyRaw(buffer, amount.Raw());
  }
}

void zelvproPriceFil::GetDisplayText(Vcon::String& out, char* buffer) {
  buffer = Buffer(buffer);
  auto* catalogue = dynamic_cast<zelvDatabase*>(&Database());
  const int32_t unit = module_.Long(buffer);
  out = name_.Text(buffer);
  if (unit != 0 && catalogue != nullptr && ReadIfPresent(catalogue->UnitFile(), unit))
    catalogue->UnitFile().GetDisplayText(out, nullptr);
  if (catalogue != nullptr) {
    AppendLinkedText(out, &catalogue->ColorCatalogFile(), color_.Long(buffer));
    AppendLinkedText(out, &catalogue->ColorGroupFile(), colorGroup_.Long(buffer));
    AppendLinkedText(out, &catalogue->DepthFile(), depth_.Long(buffer));
  }
  const Vcon::String optionKey = optionKey_.Text(buffer);
  if (!optionKey.empty()) {
    out += ", ";
    out += optionKey;
  }
}

// Appends ", " and the record text of record `id` of `table`; nothing for 0 or a record that is gone.
void zelvproPriceFil::AppendLinkedText(Vcon::String& out, ppDatafile* table, int32_t id) {
  if (id == 0 || !ReadIfPresent(*table, id)) return;
  Vcon::String text;
  table->GetDisplayText(text, nullptr);
  out += ", ";
  out += text;
}

// ---- delete check and import ------------------------------------------------------------------------

bool zelvproPriceFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case zelvproUnitFil::kFileId:
      return !AnyRecordHolds(module_, id);
    case zelvproColorCatalogFil::kFileId:
      return !AnyRecordHolds(color_, id);
    case zelvproColorGroupFil::kFileId:
      return !AnyRecordHolds(colorGroup_, id);
    case zelvproDepthFil::kFileId:
      return !AnyRecordHolds(depth_, id);
    default:
      return true;
  }
}

void zelvproPriceFil::ImportFromFile(Handle fieldMap, const ppFileSpec& path) {
  WithImportMap(fieldMap, [&](Handle map) { zelvproRecordFil::ImportFromFile(map, path); });
}

void zelvproPriceFil::ImportWithFileDialog(Handle fieldMap) {
  WithImportMap(fieldMap, [&](Handle map) { zelvproRecordFil::ImportWithFileDialog(map); });
}

void zelvproPriceFil::ImportText(Handle text, Handle fieldMap) {
  storedPrices_ = true;
  try {
    zelvproRecordFil::ImportText(text, fieldMap);
  } catch (...) {
    storedPrices_ = false;
    throw;
  }
  storedPrices_ = false;
}

// ---- changes -----------------------------------------------------------------------------------------

void zelvproPriceFil::AddRecord(int32_t* outId, char* buffer) {
  ClearPriceCache();
  zelvproRecordFil::AddRecord(outId, buffer);
}

void zelvproPriceFil::WriteRecord(int32_t id, char* buffer) {
  ClearPriceCache();
  zelvproRecordFil::WriteRecord(id, buffer);
}

void zelvproPriceFil::DeleteRecord(int32_t id) {
  ClearPriceCache();
  zelvproRecordFil::DeleteRecord(id);
}

void zelvproPriceFil::InsertRecordAt(int32_t i, char* buffer) {
  ClearPriceCache();
  zelvproRecordFil::InsertRecordAt(i, buffer);
}

void zelvproPriceFil::DeleteRecordAt(int32_t i) {
  ClearPriceCache();
  zelvproRecordFil::DeleteRecordAt(i);
}
