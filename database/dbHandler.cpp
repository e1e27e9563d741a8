#include "database/dbHandler.h"

#include "database/HandleList.h"
#include "database/dbRecordPacking.h"
#include "foundation/ppParameter.h"

void dbHandler::SetFromValue(const ppParameter&, char*) {}

void dbHandler::SetFromValueWithMoneyFormat(const ppParameter& value, const DecimalFormat&, char* field) {
  SetFromValue(value, field);
}

void dbHandler::GetAsValue(ppParameter* out, const char*) const { out->ReleasePayload(); }

int32_t dbHandler::Align(int32_t offset) const { return (offset + alignment_ - 1) / alignment_ * alignment_; }

char* dbHandler::DisposeField(char* field) { return field + width_; }

uint32_t dbHandler::Pack(uint8_t* base, uint32_t pos, const char* field, int32_t tag) const {
  if (IsEmpty(field)) return pos;
  return PackPayload(base, db::PutTag(base, pos, tag), field);
}

uint32_t dbHandler::Unpack(char* field, const uint8_t* base, uint32_t pos, uint32_t size, int32_t tag) {
  bool found = false;
  pos = db::CheckTag(base, pos, size, tag, found);
  if (!found) {
    ClearField(field);
    return pos;
  }
  return UnpackPayload(field, base, pos, size);
}

dbIndex* dbHandler::OpenIndex(int32_t, dbDatabase&) { return nullptr; }

dbIndex* dbHandler::NewIndex(dbIndexEntry* entry, dbDatabase&) {
  entry->headerRecord = -1;
  return nullptr;
}

Handle dbHandler::Select(dbIndex*, const dbQuery&, Handle) { return HandleList::New(0); }

void dbHandler::AddKey(int32_t, dbIndexEntry*, const char*) {}
void dbHandler::RemoveKey(int32_t, dbIndexEntry*, const char*) {}
void dbHandler::UpdateKey(int32_t, dbIndexEntry*, const char*, const char*) {}
