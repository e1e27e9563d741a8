#include "elements/topview/CatalogReads.h"

#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "database/HandleList.h"
#include "database/ScopedRecordBuffer.h"
#include "database/dbErrors.h"
#include "database/ppDatafile.h"
#include "foundation/OwnedHandle.h"

bool CatalogReads::Read(ppDatafile& file, int32_t id, char* buffer) {
  if (id <= 0) return false;
  try {
    file.ReadRecord(id, buffer);
    return true;
  } catch (int32_t error) {
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return false;
  }
}

int32_t CatalogReads::RecordOfStoredId(ppDatafile& file, int32_t stored, const char* field) {
  if (stored == 0) return 0;
  const int32_t index = file.IndexOf(field);
  return index >= 0 ? file.FindRecordByKey(index, &stored) : 0;
}

int32_t CatalogReads::LongOf(ppDatafile& file, int32_t id, const char* field) {
  ScopedRecordBuffer<ppDatafile> buffer(file);
  if (!Read(file, id, buffer.Get())) return 0;
  return RecordField(file, field).Long(buffer.Get());
}

int32_t CatalogReads::ColourCodeCount(zelvDatabase& db) { return db.ColorCodeFile().GetRecordCount(); }

int32_t CatalogReads::ColourCodeAt(zelvDatabase& db, int32_t i) {
  zelvproColorCodeFil& codes = db.ColorCodeFile();
  if (codes.GetSelectedCount() != codes.GetRecordCount()) codes.SelectAll();
  if (i < 0 || i >= codes.GetSelectedCount()) return 0;
  return codes.RecordIdAt(i);
}

int32_t CatalogReads::DefaultColourOfCode(zelvDatabase& db, int32_t i) {
  return LongOf(db.ColorCodeFile(), ColourCodeAt(db, i), "defaultColor");
}

std::vector<int32_t> CatalogReads::GroupColours(zelvDatabase& db, int32_t group) {
  OwnedHandle list(HandleList::New(8));
  db.ColorCodeFile().ColorsOf(group, list.Get());
  std::vector<int32_t> out;
  for (uint32_t i = 0; i < HandleList::Count(list.Get()); ++i) out.push_back(HandleList::At(list.Get(), i));
  return out;
}

int32_t CatalogReads::WordAt(const std::vector<uint8_t>& bytes, size_t i) {
  int32_t word = 0;
  if ((i + 1) * 4 <= bytes.size()) std::memcpy(&word, bytes.data() + i * 4, 4);
  return word;
}
