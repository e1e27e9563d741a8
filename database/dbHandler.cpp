#include "database/dbHandler.h"

#include "database/HandleList.h"
#include "database/dbBlobHandler.h"
#include "database/dbBooleanHandler.h"
#include "database/dbDateHandler.h"
#include "database/dbDoubleHandler.h"
#include "database/dbFloatHandler.h"
#include "database/dbLinkHandler.h"
#include "database/dbLongHandler.h"
#include "database/dbMoneyHandler.h"
#include "database/dbPictHandler.h"
#include "database/dbQuantityHandler.h"
#include "database/dbRecordPacking.h"
#include "database/dbStringHandler.h"
#include "database/dbTimeHandler.h"
#include "database/dbUnicodeHandler.h"
#include "foundation/ppParameter.h"

std::unique_ptr<dbHandler> dbHandler::ForType(int32_t typeCode) {
  switch (typeCode) {
    case 1:
      return std::make_unique<dbStringHandler>();
    case 3:
      return std::make_unique<dbMoneyHandler>();
    case 4:
      return std::make_unique<dbDoubleHandler>();
    case 5:
      return std::make_unique<dbDateHandler>();
    case 6:
      return std::make_unique<dbTimeHandler>();
    case 7:
      return std::make_unique<dbBooleanHandler>();
    case 8:
      return std::make_unique<dbLinkHandler>();
    case 9:
    case 10:
    case 12:
    case 16:
      return std::make_unique<dbBlobHandler>();
    case 11:
      return std::make_unique<dbPictHandler>();
    case 13:
      return std::make_unique<dbFloatHandler>();
    case 14:
      return std::make_unique<dbUnicodeHandler>();
    case 17:
      return std::make_unique<dbQuantityHandler>();
    default:
      return std::make_unique<dbLongHandler>();  // 2, 15 and every unknown code
  }
}

void dbHandler::SetFromValue(const ppParameter&, char*) {}

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
