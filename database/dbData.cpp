#include "database/dbData.h"

#include <cstring>

#include "database/HandleList.h"

dbData::~dbData() {
  HandleList::Dispose(values_);
  MemDispose(names_);
}

int32_t dbData::Rebuild() {
  Handle values = AllValues();
  Handle names = nullptr;
  try {
    names = AllKeys();
  } catch (...) {
    HandleList::Dispose(values);
    throw;
  }
  HandleList::Dispose(values_);
  MemDispose(names_);
  values_ = values;
  names_ = names;
  nameOffsets_.clear();
  const uint32_t size = uint32_t(MemGetSize(names_));
  for (uint32_t at = 0; at < size; at += uint32_t(std::strlen(*names_ + at)) + 1) nameOffsets_.push_back(at);
  return int32_t(HandleList::Count(values_));
}

std::string dbData::NameAt(int32_t i) const { return std::string(*names_ + nameOffsets_.at(size_t(i))); }

int32_t dbData::ValueAt(int32_t i) const { return HandleList::At(values_, uint32_t(i)); }
