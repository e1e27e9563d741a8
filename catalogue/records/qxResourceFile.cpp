#include "catalogue/records/qxResourceFile.h"

#include <algorithm>
#include <cstring>

#include "catalogue/records/qxLangCodeFile.h"
#include "catalogue/records/qxResTypeFile.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TabField.h"
#include "database/InTransaction.h"

namespace {

constexpr uint32_t kHeaderBytes = 8;
constexpr int32_t kHeaderWords[2] = {1, 0};

bool IsEmptyLine(const char* p) { return p[0] == '\n' || (p[0] == '\r' && p[1] == '\n'); }

const char* AfterEmptyLine(const char* p) { return p[0] == '\n' ? p + 1 : p + 2; }

// The records of `file` whose indexed `field` equals `text` (a number for a numeric index), in
// record-number order; none when the field has no index.
std::vector<int32_t> RecordsEqualTo(dbDatafile& file, int32_t field, const std::string& text) {
  const int32_t kind = file.IndexKind(field);
  if (kind < 0) return {};
  int32_t number = 0;
  if (kind == 0) TextToInt(number, Vcon::String(text.c_str()));
  const void* key = kind == 0 ? static_cast<const void*>(&number) : text.c_str();
  Handle list = file.Select(field, '+', dbDatafile::kEqual, key, key, nullptr);
  std::vector<int32_t> ids;
  for (uint32_t i = 0; list != nullptr && i < HandleList::Count(list); ++i)
    ids.push_back(HandleList::At(list, i));
  HandleList::Dispose(list);
  std::sort(ids.begin(), ids.end());
  return ids;
}

bool IsKey(const ppFieldMapEntry& entry) { return entry.linkedFileId == 0 && entry.third != 0; }

}  // namespace

qxResourceFile::qxResourceFile(ppDatabase& database)
    : ppDatafile(kLayout, database),
      record_(GetRecordBuffer()),
      id_(*this, "id"),
      resID_(*this, "resID"),
      name_(*this, "name"),
      resource_(*this, "resource") {
  header_ = NewRecordBuffer();
  try {
    MakeHeaderRecord();
    resTypeFile_ = std::make_unique<qxResTypeFile>(database);
    langCodeFile_ = std::make_unique<qxLangCodeFile>(database);
  } catch (...) {
    if (headerBlob_ != nullptr) MemUnlock(headerBlob_);
    DisposeRecordBuffer(header_);
    throw;
  }
}

qxResourceFile::~qxResourceFile() {
  if (headerBlob_ != nullptr) MemUnlock(headerBlob_);
  DisposeRecordBuffer(header_);
  resTypeFile_.reset();
  langCodeFile_.reset();
}

void qxResourceFile::MakeHeaderRecord() {
  SelectAll();
  if (GetSelectedCount() == 0) {
    Handle blob = resource_.Data(header_);
    if (blob == nullptr) return;  // a layout without the blob has no header words
    MemSetSize(blob, kHeaderBytes);
    std::memcpy(*blob, kHeaderWords, kHeaderBytes);  // the program runs little-endian only
    id_.SetLong(header_, 0);
    db::InTransaction(Database(), [&] { AddRecord(nullptr, header_); });
  } else {
    ReadRecordAt(0, header_);
  }
  headerBlob_ = resource_.Data(header_);
  if (headerBlob_ != nullptr) MemLock(headerBlob_);
}

int32_t qxResourceFile::HeaderWord(int32_t i) const {
  if (headerBlob_ == nullptr || i < 0 || (uint64_t(i) + 1) * 4 > uint64_t(MemGetSize(headerBlob_))) return 0;
  int32_t word = 0;
  std::memcpy(&word, *headerBlob_ + i * 4, 4);
  return word;
}

// ---- record text -------------------------------------------------------------------------------

void qxResourceFile::GetDisplayText(Vcon::String& out, char* buffer) {
  const char* record = Buffer(buffer);
  out = IntToText(resID_.Long(record));
  out += " ";
  out += name_.Text(record);
  out += " ";
  // The blob's bytes up to the first NUL, never past the blob's end.
  Handle data = resource_.Data(record);
  const size_t size = data != nullptr ? size_t(MemGetSize(data)) : 0;
  if (size > 0) out += std::string(*data, strnlen(*data, size));
}

int32_t qxResourceFile::VisitRecord(void*, int32_t) { return 1; }

bool qxResourceFile::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }

// ---- import ------------------------------------------------------------------------------------

const char* qxResourceFile::ImportRecord(const char* position, Handle fieldMap) {
  if (position == nullptr) return nullptr;
  if (IsEmptyLine(position)) return AfterEmptyLine(position);
  const std::vector<ImportedField> fields = ReadImportLine(position, fieldMap);
  const int32_t found = RecordNamedBy(fields);
  const bool mayAdd = std::none_of(fields.begin(), fields.end(), [](const ImportedField& f) {
    return IsKey(f.entry) && (f.entry.third & kMatchKeyNoAdd) != 0;
  });
  if (found == 0 && !mayAdd) return position;
  ClearRecordBuffer(nullptr);
  if (found != 0) ReadRecordPinned(found, nullptr);
  try {
    for (const ImportedField& field : fields) ApplyImportedField(field, found == 0);
    if (found != 0)
      WriteRecord(found, nullptr);
    else
      AddRecord(nullptr, nullptr);
  } catch (...) {
    if (found != 0) ReleaseRecord(found);
    throw;
  }
  if (found != 0) ReleaseRecord(found);
  return position;
}

// Reads one text field per map entry whose field the layout has; the rest of the line is passed
// over. `position` moves to the next line (null at the end of the text).
std::vector<qxResourceFile::ImportedField> qxResourceFile::ReadImportLine(const char*& position,
                                                                          Handle fieldMap) {
  std::vector<ImportedField> fields;
  std::vector<char> text(kImportFieldBytes);
  bool lineEnded = false;
  const std::vector<ppFieldMapEntry> entries = FieldMap(fieldMap);
  for (size_t i = 0; position != nullptr && !lineEnded; ++i) {
    position = ParseTabField(text.data(), text.size(), position, lineEnded);
    if (i < entries.size() && entries[i].field >= 0 && entries[i].field < FieldCount())
      fields.push_back({entries[i], text.data()});
  }
  return fields;
}

// The one record that every key of the line matches; 0 when the line has no key, or its keys
// match no record or several.
int32_t qxResourceFile::RecordNamedBy(const std::vector<ImportedField>& fields) {
  bool anyKey = false;
  std::vector<int32_t> matches;
  for (const ImportedField& field : fields) {
    if (!IsKey(field.entry)) continue;
    std::vector<int32_t> these = RecordsEqualTo(File(), field.entry.field, field.text);
    if (anyKey) {
      std::vector<int32_t> both;
      std::set_intersection(matches.begin(), matches.end(), these.begin(), these.end(),
                            std::back_inserter(both));
      these = std::move(both);
    }
    matches = std::move(these);
    anyKey = true;
  }
  return matches.size() == 1 ? matches[0] : 0;
}

void qxResourceFile::ApplyImportedField(const ImportedField& field, bool newRecord) {
  const ppFieldMapEntry& entry = field.entry;
  if (entry.linkedFileId != 0) {
    // The text names a record of the linked table by its field `third`; only a single match is
    // stored.
    dbDatafile* linked = dbDatafile::FileById(Database(), entry.linkedFileId);
    if (linked == nullptr || entry.third < 0 || entry.third >= linked->FieldCount()) return;
    const std::vector<int32_t> ids = RecordsEqualTo(*linked, entry.third, field.text);
    if (ids.size() == 1) SetFieldValue(entry.field, ppParameter(IntToText(ids[0])), nullptr);
  } else if (IsKey(entry) && !newRecord) {
    // The key already holds this value in the record it named.
  } else if (entry.field == resource_.Index()) {
    SetResourceText(field.text);
  } else {
    SetFieldValue(entry.field, ppParameter(field.text.c_str()), nullptr);
  }
}

void qxResourceFile::SetResourceText(const std::string& text) {
  Handle blob = resource_.Data(record_);
  if (blob == nullptr) return;
  MemSetSize(blob, uint32_t(text.size() + 1));
  std::memcpy(*blob, text.c_str(), text.size() + 1);
}
