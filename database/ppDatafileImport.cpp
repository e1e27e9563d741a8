#include "database/ppDatafileImport.h"

#include <string>

#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"
#include "database/ppPlainMoneyText.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TabField.h"

namespace {

constexpr int32_t kCompareInside = 10;
constexpr int32_t kIndexNumeric = 0;
constexpr int32_t kIndexText = 1;

// The remaining fields of a line are passed over; returns where the next line starts (null at the
// end of the text).
const char* SkipRestOfLine(const char* p) {
  char scratch[ppDatafile::kImportFieldSize];
  bool lineEnded = false;
  while (p != nullptr && !lineEnded) p = ParseTabField(scratch, sizeof scratch, p, lineEnded);
  return p;
}

bool IsEmptyLine(const char* p) { return p[0] == '\n' || (p[0] == '\r' && p[1] == '\n'); }

const char* AfterEmptyLine(const char* p) { return p[0] == '\n' ? p + 1 : p + 2; }

}  // namespace

void ppDatafileImport::FromFile(const ppFileSpec& path) {
  if (fieldMap_ == nullptr) return;
  OwnedText(ReadFileToHandle(path));
}

void ppDatafileImport::WithFileDialog() {
  if (fieldMap_ == nullptr) return;
  OwnedText(ReadFileWithOpenDialog(ppDatafile::kImportFilterText));
}

void ppDatafileImport::OwnedText(Handle text) {
  if (text == nullptr) return;
  try {
    view_.ImportText(text, fieldMap_);
  } catch (...) {
    MemDispose(text);
    throw;
  }
  MemDispose(text);
}

void ppDatafileImport::Text(Handle text) {
  if (text == nullptr || fieldMap_ == nullptr) return;
  ppPlainMoneyText plain(view_);
  // A NUL-terminated copy: the field reader stops at NUL, never past the text.
  const std::string copy(*text, size_t(MemGetSize(text)));
  const char* position = copy.c_str();
  const char* end = position + copy.size();
  dbDatabase& database = view_.Database();
  database.BeginTransaction();
  try {
    while (position != nullptr && position < end) position = view_.ImportRecord(position, fieldMap_);
  } catch (...) {
    database.AbortTransaction();
    throw;
  }
  database.EndTransaction();
}

const char* ppDatafileImport::Record(const char* position) {
  if (position == nullptr) return nullptr;
  if (IsEmptyLine(position)) return AfterEmptyLine(position);
  int32_t found = 0;
  bool mayAdd = true;
  view_.ClearRecordBuffer(nullptr);
  char text[ppDatafile::kImportFieldSize];
  bool lineEnded = false;
  const char* p = position;
  for (const ppFieldMapEntry& entry : ppDatafile::FieldMap(fieldMap_)) {
    p = ParseTabField(text, sizeof text, p, lineEnded);
    if (entry.field >= 0 && entry.field < view_.FieldCount()) {
      if (entry.linkedFileId != 0) {
        LinkedField(entry, text);
      } else if (entry.third == 0) {
        view_.SetFieldValue(entry.field, ppParameter(text), nullptr);
      } else {
        mayAdd = (entry.third & ppDatafile::kMatchKeyNoAdd) == 0;
        // The key's matches become the selection.
        HandleList::Reset(view_.GetSelection());
        const int32_t match = FindUniqueMatch(view_.File(), entry.field, text, view_.GetSelection());
        if (match != 0) found = match;
        if (found == 0)
          view_.SetFieldValue(entry.field, ppParameter(text), nullptr);
        else
          view_.ReadRecordPinned(found, nullptr);
      }
    }
    if (lineEnded || p == nullptr) break;
  }
  // Fields beyond the map's entries are not data of the next record.
  if (p != nullptr && !lineEnded) p = SkipRestOfLine(p);
  if (found == 0) {
    if (mayAdd) view_.AddRecord(&found, nullptr);
  } else {
    view_.WriteRecord(found, nullptr);
  }
  view_.ReleaseRecord(found);
  return p;
}

int32_t ppDatafileImport::FindUniqueMatch(dbDatafile& file, int32_t field, const char* text, Handle current) {
  const int32_t kind = file.IndexKind(field);
  if (kind != kIndexNumeric && kind != kIndexText) return 0;  // a field without index finds nothing
  int32_t number = 0;
  if (kind == kIndexNumeric) TextToInt(number, Vcon::String(text));
  const void* key = kind == kIndexNumeric ? static_cast<const void*>(&number) : text;
  Handle list = file.Select(field, '+', kCompareInside, key, key, current);
  if (list == nullptr) return 0;
  const int32_t id = HandleList::Count(list) == 1 ? HandleList::At(list, 0) : 0;
  if (list != current) HandleList::Dispose(list);
  return id;
}

void ppDatafileImport::LinkedField(const ppFieldMapEntry& entry, const char* text) {
  dbDatafile* linked = dbDatafile::FileById(view_.Database(), entry.linkedFileId);
  if (linked == nullptr || entry.third < 0 || entry.third >= linked->FieldCount()) return;
  const int32_t id = FindUniqueMatch(*linked, entry.third, text, nullptr);
  if (id != 0) view_.SetFieldValue(entry.field, ppParameter(IntToText(id)), nullptr);
}
