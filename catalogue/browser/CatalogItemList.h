// The items that the catalogue browser's current node offers to the item picture list: a handle of
// entries {catalogue database, catalogue item record id}, in the order of the node's children.
//
// An entry is a pointer and a 32-bit id, so its size (and with it the entry count of a handle)
// depends on the pointer size; Count is the one place that divides, and the picture list counts
// through it too. A record id of 0 stands for an item whose ID matched no record.
// The list owns its handle. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"

class zelvDatabase;

struct CatalogItemEntry {
  zelvDatabase* database = nullptr;  // not owned
  int32_t recordId = 0;
};

class CatalogItemList {
 public:
  CatalogItemList();
  ~CatalogItemList();
  CatalogItemList(const CatalogItemList&) = delete;
  CatalogItemList& operator=(const CatalogItemList&) = delete;

  // The entry count of a list handle: its size divided by the entry size (0 for null).
  static int32_t Count(Handle list);
  // Entry `index` of a list handle; an empty entry outside 0 to Count - 1.
  static CatalogItemEntry At(Handle list, int32_t index);

  int32_t Count() const { return Count(handle_); }
  CatalogItemEntry At(int32_t index) const { return At(handle_, index); }
  void Clear();
  void Append(zelvDatabase* database, int32_t recordId);
  Handle Get() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};
