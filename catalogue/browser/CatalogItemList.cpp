#include "catalogue/browser/CatalogItemList.h"

#include <cstring>

CatalogItemList::CatalogItemList() { Vcon_HandleManager::MemNew(&handle_, 0); }

CatalogItemList::~CatalogItemList() { MemDispose(handle_); }

int32_t CatalogItemList::Count(Handle list) {
  return list != nullptr ? int32_t(uint32_t(MemGetSize(list)) / sizeof(CatalogItemEntry)) : 0;
}

CatalogItemEntry CatalogItemList::At(Handle list, int32_t index) {
  CatalogItemEntry entry;
  if (index < 0 || index >= Count(list)) return entry;
  std::memcpy(&entry, *list + size_t(index) * sizeof(CatalogItemEntry), sizeof entry);
  return entry;
}

void CatalogItemList::Clear() { MemSetSize(handle_, 0); }

void CatalogItemList::Append(zelvDatabase* database, int32_t recordId) {
  CatalogItemEntry entry;
  entry.database = database;
  entry.recordId = recordId;
  MemInsertBytes(&entry, sizeof entry, handle_, kMemAppend);
}
