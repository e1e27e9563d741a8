#include "database/ppSubfile.h"

#include <algorithm>

ppSubfile::ppSubfile(const char* layoutName, ppDatabase& database) : ppDatafile(layoutName, database) {}

ppSubfile::ppSubfile(const Vcon::String& layoutName, ppDatabase& database)
    : ppDatafile(layoutName, database) {}

ppSubfile::~ppSubfile() {
  for (Handle h : records_) MemDispose(h);
}

ppParameter ppSubfile::GetValue(int32_t index) {
  BeginAccess();
  SetCurrentRecordId(GetCurrentItem());
  return ppDatafile::GetValue(index);
}

void ppSubfile::SetValue(int32_t index, const ppParameter& value) {
  BeginAccess();
  SetCurrentRecordId(GetCurrentItem());
  ppDatafile::SetValue(index, value);
  EndAccess();
}

void ppSubfile::InsertItem(int32_t) {
  BeginAccess();
  SetCurrentRecordId(GetCurrentItem());
  ClearRecordBuffer(nullptr);
  InsertRecordAt(std::min(GetCurrentItem() + 1, GetRecordCount()), nullptr);
  EndAccess();
}

void ppSubfile::DeleteItem() {
  BeginAccess();
  DeleteRecordAt(GetCurrentItem());
  EndAccess();
}

int32_t ppSubfile::GetRecordCount() { return int32_t(records_.size()); }

void ppSubfile::ReadRecordAt(int32_t i, char* buffer) {
  if (!IsValid(i)) return;
  UnpackRecord(buffer, records_[size_t(i)]);
  AfterRead(Buffer(buffer));
}

int32_t ppSubfile::RecordIdAt(int32_t) { return 0; }

void ppSubfile::WriteRecordAt(int32_t i, char* buffer) {
  if (!IsValid(i)) return;
  PackRecord(buffer, records_[size_t(i)]);
  AfterRead(Buffer(buffer));
}

void ppSubfile::ReadRecordPinnedAt(int32_t i, char* buffer) { ReadRecordAt(i, buffer); }

void ppSubfile::DeleteRecordAt(int32_t i) {
  if (!IsValid(i)) return;
  MemDispose(records_[size_t(i)]);
  records_.erase(records_.begin() + i);
}

void ppSubfile::InsertRecordAt(int32_t i, char* buffer) {
  // Past the end, and -1, append: callers add lines at -1 to mean "at the end".
  if (i < 0 || i > GetRecordCount()) i = GetRecordCount();
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 0);
  try {
    PackRecord(buffer, h);
  } catch (...) {
    MemDispose(h);
    throw;
  }
  records_.insert(records_.begin() + i, h);
  AfterRead(Buffer(buffer));
}

void ppSubfile::ReleaseRecordAt(int32_t) {}

int32_t ppSubfile::GetSelectedCount() { return int32_t(records_.size()); }

void ppSubfile::ReloadCurrent() {
  if (IsValid(GetCurrentItem())) ReadRecordAt(GetCurrentItem(), nullptr);
}

void ppSubfile::BeginEdit() { ReloadCurrent(); }

void ppSubfile::SaveCurrent() {
  if (IsValid(GetCurrentItem())) WriteRecordAt(GetCurrentItem(), nullptr);
}

void ppSubfile::BeginAccess() {}
void ppSubfile::EndAccess() {}
void ppSubfile::SaveToBlob() {}
void ppSubfile::ClearBlob() {}
void ppSubfile::DisposeRecords() {}
