// The directory of named records: a text index from record name to record number, whose header
// record number the store keeps as its directory root. It caches the values and the names in key
// order, rebuilt on demand by Rebuild.
#pragma once

#include <string>
#include <vector>

#include "database/dbStrIndex.h"

class dbData : public dbStrIndex {
 public:
  using dbStrIndex::dbStrIndex;
  ~dbData() override;

  // Reloads both cached lists from the tree; returns the number of names.
  int32_t Rebuild();
  // The i-th name of the last rebuilt list (i below the count it returned).
  std::string NameAt(int32_t i) const;
  // The i-th record number of the last rebuilt list.
  int32_t ValueAt(int32_t i) const;

 private:
  Handle values_ = nullptr;  // HandleList
  Handle names_ = nullptr;   // NUL-terminated names back to back
  std::vector<uint32_t> nameOffsets_;
};
