// An index with signed 32-bit keys, stored in 32 slots at node byte 404 in entry order.
#pragma once

#include "database/dbIndex.h"

class dbNumIndex : public dbIndex {
 public:
  using dbIndex::dbIndex;

  int32_t NodeSize() const override { return 532; }
  int32_t Compare(const void* a, const void* b, int32_t mode) const override;
  void InsertKey(Handle node, int32_t index, const void* key) override;
  void ReplaceKey(Handle node, int32_t index, const void* key) override;
  void RemoveKey(Handle node, int32_t index) override;
  const void* GetKey(Handle node, int32_t index) const override;
  void Dump(const std::string&) override {}

 protected:
  size_t KeyBytes(const void*) const override { return 4; }
};
