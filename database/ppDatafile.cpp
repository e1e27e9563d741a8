#include "database/ppDatafile.h"

#include <cstring>
#include <map>
#include <string>

#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/dbErrors.h"
#include "database/ppDatabase.h"
#include "database/ppDatafileExport.h"
#include "database/ppDatafileImport.h"
#include "foundation/DecimalFormat.h"
#include "database/dbBytes.h"
#include "database/dbRecordLayout.h"
#include "foundation/ResourceAccess.h"
#include "platform/ResetList.h"
#include "platform/ResourceRegistry.h"
#include "database/InTransaction.h"

namespace {

constexpr int32_t kTextType = 1;
constexpr int32_t kLinkType = 8;
constexpr int32_t kHandleType = 16;
constexpr int32_t kLastType = 17;
constexpr int32_t kCompareInside = 10;
constexpr int32_t kIndexText = 1;
const char* const kRecordIdName = "dbId";

// File id -> layout name, for opening views on linked files; lives for the whole run. Owned by the
// interface thread.
std::map<int32_t, Vcon::String>& LayoutRegistry() {
  static std::map<int32_t, Vcon::String> registry;
  return registry;
}

// The field number of a map entry: the low 16 bits, signed.
int32_t MapField(int32_t word) { return int32_t(int16_t(uint16_t(uint32_t(word) & 0xFFFFu))); }

}  // namespace

// ---- construction -------------------------------------------------------------------------------

ppDatafile::ppDatafile(const char* layoutName, ppDatabase& database)
    : database_(database), layoutName_(layoutName) {
  Construct();
}

ppDatafile::ppDatafile(const Vcon::String& layoutName, ppDatabase& database)
    : database_(database), layoutName_(layoutName) {
  Construct();
}

void ppDatafile::Construct() {
  file_ = &dbDatafile::FileByName(database_, layoutName_.c_str());
  LayoutRegistry()[file_->FileId()] = layoutName_;
  buffer_ = file_->NewRecordBuffer();
  selection_ = HandleList::New(0);
}

ppDatafile::~ppDatafile() {
  file_->DisposeRecordBuffer(buffer_);
  HandleList::Dispose(selection_);
  for (ppDatafile* view : linked_) delete view;
}

std::vector<ppFieldMapEntry> ppDatafile::FieldMap(Handle map) {
  std::vector<ppFieldMapEntry> entries;
  if (map == nullptr) return entries;
  const uint32_t count = uint32_t(MemGetSize(map)) / kFieldMapEntrySize;
  for (uint32_t i = 0; i < count; ++i) {
    int32_t words[3];
    std::memcpy(words, *map + i * kFieldMapEntrySize, sizeof words);
    entries.push_back({MapField(words[0]), words[1], words[2]});
  }
  return entries;
}

Handle ppDatafile::LoadFieldMap(const char (&type)[5]) const {
  try {
    return LoadResourceHandle(ResourceTypeCode(type), file_->FileId());
  } catch (int32_t) {
    return nullptr;  // the program has no map for this layout
  }
}

Vcon::String ppDatafile::LayoutNameOfFileId(int32_t fileId) {
  auto found = LayoutRegistry().find(fileId);
  if (found != LayoutRegistry().end()) return found->second;
  // No view of that file opened yet in this run: the compiled layouts say which record class carries
  // the id (a link must never be read through its own table's layout).
  for (const auto& bytes : plat::ResourceRegistry::Instance().AllOfType("DICT")) {
    if (bytes.size() < dbRecordLayout::kFields) continue;
    if (db::GetI32(bytes.data(), dbRecordLayout::kFileId) != fileId) continue;
    const char* name = reinterpret_cast<const char*>(bytes.data() + dbRecordLayout::kRecordClass);
    return Vcon::String(name, strnlen(name, dbRecordLayout::kNameSize));
  }
  return Vcon::String();
}

void ppDatafile::ForgetLayoutNames() { LayoutRegistry().clear(); }

namespace {
[[maybe_unused]] const bool kReset = plat::ResetList::Add("table views: file ids learnt from opened views",
                                                          [] { ppDatafile::ForgetLayoutNames(); });
}  // namespace

int32_t ppDatafile::FieldCount() const { return file_->FieldCount(); }

// ---- properties ---------------------------------------------------------------------------------

int32_t ppDatafile::IndexOf(const Vcon::String& name) {
  const int32_t n = FieldCount();
  std::string fieldName;
  for (int32_t i = 0; i < n; ++i) {
    file_->Layout().FieldName(i, fieldName);
    if (fieldName == name.c_str()) return i;
  }
  return name == kRecordIdName ? n : kNoProperty;
}

void ppDatafile::GetPropertyName(Vcon::String& out, int32_t index) {
  out.clear();
  if (index >= 0 && index < FieldCount())
    file_->Layout().FieldName(index, out);
  else if (index == FieldCount())
    out = kRecordIdName;
}

int32_t ppDatafile::GetPropertyCount() { return FieldCount() + 1; }

ppParameter ppDatafile::GetValue(int32_t index) {
  if (GetSelectedCount() == 0 || index < 0) return ppParameter();
  ReloadCurrent();
  const int32_t n = FieldCount();
  if (index > n) return ppParameter();
  if (index == n) return RecordIdValue();
  const int32_t type = file_->FieldType(index);
  if (type == kLinkType) return LinkValue(index);
  if (type < 1 || type > kLastType || type == kHandleType) return ppParameter();
  ppParameter value;
  GetFieldValue(index, value, nullptr);
  return value;
}

ppParameter ppDatafile::DbIdValue(int32_t id, int32_t number) {
  if (number <= 0) return ppParameter(id);
  return ppParameter(id) * ppParameter(kIdScale) + ppParameter(number);
}

int32_t ppDatafile::RecordIdOfDbId(int32_t value, int32_t number) {
  if (value < 0) return -1;
  if (number <= 0) return value;
  return value % kIdScale == number ? value / kIdScale : -1;
}

ppParameter ppDatafile::RecordIdValue() const { return DbIdValue(currentId_, database_.Identifier()); }

ppParameter ppDatafile::LinkValue(int32_t field) {
  ppParameter stored;
  GetFieldValue(field, stored, nullptr);
  const ppLong id = stored.ToPPLong();
  if (id.IsNull()) return ppParameter();
  ppDatafile* linked = GetLinkedDatafile(file_->Layout().LinkedFileId(field));
  if (id.Value() != 0) {
    HandleList::Reset(linked->selection_);
    HandleList::Insert(linked->selection_, id.Value());
    linked->ReadRecordAt(0, nullptr);
  } else if (linked != this) {
    // No linked record: the linked view stands on nothing, so a path through it reads empty
    // values and changes nothing instead of reaching the record an earlier link left current.
    HandleList::Reset(linked->selection_);
    linked->currentId_ = 0;
    linked->currentIndex_ = 0;
  }
  return ppParameter(static_cast<iProperty*>(linked));
}

void ppDatafile::SetValue(int32_t index, const ppParameter& value) {
  if (GetSelectedCount() == 0) return;
  if (index < 0 || index >= FieldCount()) return;
  BeginEdit();
  SetFieldValue(index, value, nullptr);
  SaveCurrent();
}

void ppDatafile::SelectAllItems() { iProperty::SelectAllItems(); }

void ppDatafile::Select(int32_t field, int32_t comparison, const ppParameter& value1,
                        const ppParameter& value2, char combine) {
  if (combine == '#') {
    combine = '&';
    SelectAll();
  }
  const int32_t n = FieldCount();
  if (field == n) {
    SelectById(value1);
    return;
  }
  if (field < 0 || field > n) return;
  if (file_->FieldType(field) == kTextType && file_->IsIndexed(field)) {
    const std::string text1 = value1.ConvertedTo(ppParameter::kString).AsString();
    const std::string text2 = value2.ConvertedTo(ppParameter::kString).AsString();
    Select(field, combine, comparison, text1.c_str(), text2.c_str());
  } else {
    const int32_t key1 = value1.ToLong(), key2 = value2.ToLong();
    Select(field, combine, comparison, &key1, &key2);
  }
  if (GetSelectedCount() > 0) ReadRecordAt(0, nullptr);
  currentIndex_ = 0;
}

void ppDatafile::SelectById(const ppParameter& value) {
  HandleList::Reset(selection_);
  const int32_t v = value.ToLong();
  // A database without a number names its records bare, whatever their size. With a number, the
  // one in the low four digits is dropped without a check, and a value up to kIdScale is taken bare.
  const int32_t id = database_.Identifier() <= 0 || v <= kIdScale ? v : v / kIdScale;
  currentId_ = id;
  if (id <= 0) return;
  HandleList::Insert(selection_, id);
  ReadRecordAt(0, nullptr);
}

void ppDatafile::Select(int32_t field, char combine, int32_t comparison, const void* key1, const void* key2) {
  Handle result = file_->Select(field, uint8_t(combine), comparison, key1, key2, selection_);
  if (result != selection_) {
    HandleList::Dispose(selection_);
    selection_ = result != nullptr ? result : HandleList::New(0);
  }
}

void ppDatafile::GoToItem(int32_t i) {
  if (i < 0 || i >= GetSelectedCount()) return;
  ReadRecordAt(i, nullptr);
  currentIndex_ = i;
}

// ---- records ------------------------------------------------------------------------------------

int32_t ppDatafile::GetRecordCount() { return file_->RecordCount(); }

ppDatafile* ppDatafile::GetLinkedDatafile(int32_t fileId) {
  for (ppDatafile* view : linked_) {
    if (view->File().FileId() == fileId) return view;
  }
  if (fileId == file_->FileId()) return this;
  // A table this database has open already names itself; otherwise the run's map or the compiled
  // layouts say which record class carries the id.
  const dbDatafile* open = dbDatafile::FileById(database_, fileId);
  const Vcon::String name = open != nullptr ? Vcon::String(open->Name().c_str()) : LayoutNameOfFileId(fileId);
  if (name.empty()) return this;
  auto* view = new ppDatafile(name, database_);
  linked_.push_back(view);
  return view;
}

void ppDatafile::GetLayoutName(Vcon::String& out) { out = layoutName_; }

void ppDatafile::ReadRecord(int32_t id, char* buffer) {
  id = Id(id);
  buffer = Buffer(buffer);
  file_->ReadRecord(id, buffer);
  currentId_ = id;
  AfterRead(buffer);
}

void ppDatafile::ReadRecordPinned(int32_t id, char* buffer) {
  id = Id(id);
  buffer = Buffer(buffer);
  file_->ReadRecordPinned(id, buffer);
  currentId_ = id;
  AfterRead(buffer);
}

void ppDatafile::AddRecord(int32_t* outId, char* buffer) {
  buffer = Buffer(buffer);
  if (!CanWrite(buffer)) return;
  int32_t id = 0;
  db::InTransaction(database_, [&] { id = file_->AddRecord(buffer); });
  if (outId != nullptr) *outId = id;
  currentId_ = id;
  AfterRead(buffer);
}

void ppDatafile::WriteRecord(int32_t id, char* buffer) {
  id = Id(id);
  buffer = Buffer(buffer);
  if (!CanWrite(buffer)) return;
  db::InTransaction(database_, [&] { file_->WriteRecord(id, buffer); });
  currentId_ = id;
}

void ppDatafile::DeleteRecord(int32_t id) {
  id = Id(id);
  db::InTransaction(database_, [&] { file_->DeleteRecord(id); });
  currentId_ = 0;
}

void ppDatafile::ReleaseRecord(int32_t id) {
  id = Id(id);
  if (id <= 0) return;
  try {
    database_.ReleaseRecord(id);
  } catch (int32_t error) {
    if (error != db::kNotFound) throw;  // not cached, so not pinned either
  }
}

void ppDatafile::ReadRecordAt(int32_t i, char* buffer) {
  currentId_ = RecordIdAt(i);
  ReadRecord(currentId_, buffer);
}

int32_t ppDatafile::RecordIdAt(int32_t i) {
  if (i < 0 || i >= int32_t(HandleList::Count(selection_))) return 0;
  return HandleList::At(selection_, uint32_t(i));
}

int32_t ppDatafile::IndexOfRecord(int32_t id) { return HandleList::IndexOf(selection_, id); }

void ppDatafile::WriteRecordAt(int32_t i, char* buffer) {
  currentId_ = RecordIdAt(i);
  WriteRecord(currentId_, buffer);
}

void ppDatafile::ReadRecordPinnedAt(int32_t i, char* buffer) {
  currentId_ = RecordIdAt(i);
  ReadRecordPinned(currentId_, buffer);
}

void ppDatafile::DeleteRecordAt(int32_t i) {
  const int32_t id = RecordIdAt(i);
  if (id == 0) return;  // a position outside the selection deletes nothing
  DeleteRecord(id);
  HandleList::RemoveAt(selection_, uint32_t(i));
  currentId_ = 0;
}

void ppDatafile::InsertRecordAt(int32_t i, char* buffer) {
  int32_t id = 0;
  AddRecord(&id, buffer);
  if (id == 0) return;
  HandleList::Insert(selection_, id, i < 0 ? -1 : i);
  currentId_ = id;
}

void ppDatafile::ReleaseRecordAt(int32_t i) {
  const int32_t id = RecordIdAt(i);
  if (id != 0) ReleaseRecord(id);
}

void ppDatafile::AfterRead(char*) {}

bool ppDatafile::CanWrite(char*) { return true; }

bool ppDatafile::IsValueUnique(int32_t field, const ppParameter& value, int32_t id) {
  if (field < 0 || field >= FieldCount()) return true;
  Handle list = nullptr;
  if (file_->IndexKind(field) == kIndexText) {
    const std::string text = value.ConvertedTo(ppParameter::kString).AsString();
    list = file_->Select(field, '+', kCompareInside, text.c_str(), text.c_str(), nullptr);
  } else {
    const int32_t key = value.ToLong();
    list = file_->Select(field, '+', kCompareInside, &key, &key, nullptr);
  }
  if (list == nullptr) return true;
  const uint32_t count = HandleList::Count(list);
  const bool unique = count == 0 || (count == 1 && HandleList::At(list, 0) == id);
  HandleList::Dispose(list);
  return unique;
}

int32_t ppDatafile::GetSelectedCount() { return int32_t(HandleList::Count(selection_)); }

void ppDatafile::SelectAllByIndex(int32_t field) {
  Handle all = file_->AllByIndex(field);
  HandleList::Dispose(selection_);
  selection_ = all != nullptr ? all : HandleList::New(0);
}

void ppDatafile::SelectAll() {
  SelectAllByIndex(0);
  currentId_ = 0;
  currentIndex_ = 0;
  if (GetSelectedCount() > 0) ReadRecordAt(0, nullptr);
}

void ppDatafile::SelectMatching(const char* text) {
  Handle found = file_->QuickSearch(text);
  if (found == nullptr) return;
  HandleList::Dispose(selection_);
  selection_ = found;
}

Handle ppDatafile::GetSelection() { return selection_; }

int32_t ppDatafile::FindRecordByKey(int32_t field, const void* key) {
  if (field < 0 || field >= FieldCount()) return 0;
  return file_->FindByKey(field, key);
}

void ppDatafile::FieldNameAt(int32_t field, Vcon::String& out) {
  out.clear();
  if (field >= 0 && field < FieldCount()) file_->Layout().FieldName(field, out);
}

void ppDatafile::GetFieldValue(int32_t field, ppParameter& out, char* buffer) {
  if (field < 0 || field >= FieldCount()) {
    out.ReleasePayload();
    return;
  }
  file_->Layout().GetField(field, &out, Buffer(buffer));
}

void ppDatafile::SetFieldValue(int32_t field, const ppParameter& value, char* buffer) {
  if (field < 0 || field >= FieldCount()) return;
  if (moneyTextFormat_ != nullptr)
    file_->Layout().SetField(field, value, *moneyTextFormat_, Buffer(buffer));
  else
    file_->Layout().SetField(field, value, Buffer(buffer));
}

void ppDatafile::PackRecord(char* buffer, Handle h) { file_->Layout().PackInto(h, Buffer(buffer)); }

void ppDatafile::UnpackRecord(char* buffer, Handle h) {
  MemLock(h);
  try {
    file_->Layout().Unpack(Buffer(buffer), reinterpret_cast<const uint8_t*>(*h), uint32_t(MemGetSize(h)));
  } catch (...) {
    MemUnlock(h);
    throw;
  }
  MemUnlock(h);
}

void ppDatafile::GetDisplayText(Vcon::String& out, char*) { out = "Not implemented"; }

int32_t ppDatafile::VisitRecord(void*, int32_t) { return 0; }

int32_t ppDatafile::ForEachRecord(void* argument, Handle list) {
  for (uint32_t i = 0; list != nullptr && i < HandleList::Count(list); ++i) {
    if (VisitRecord(argument, HandleList::At(list, i)) == 2) break;
  }
  return 0;
}

bool ppDatafile::AnswersRecordQuery(void*, int32_t, int32_t) { return false; }

bool ppDatafile::IsRecordClass() { return false; }

bool ppDatafile::DeleteRecordIfAllowed(int32_t, int32_t id) {
  if (!database_.CanDeleteRecord(file_->FileId(), id)) return false;
  db::InTransaction(database_, [&] { DeleteRecord(id); });
  return true;
}

bool ppDatafile::AllowsDeleteOf(int32_t, int32_t) { return true; }

void ppDatafile::ReloadCurrent() {
  if (currentId_ > 0) ReadRecord(0, nullptr);
}

void ppDatafile::BeginEdit() {
  if (currentId_ > 0) ReadRecordPinned(0, nullptr);
}

void ppDatafile::SaveCurrent() {
  if (currentId_ <= 0) return;
  db::InTransaction(database_, [&] {
    WriteRecord(0, nullptr);
    ReleaseRecord(0);
  });
}

char* ppDatafile::NewRecordBuffer() { return file_->NewRecordBuffer(); }

void ppDatafile::DisposeRecordBuffer(char* buffer) { file_->DisposeRecordBuffer(buffer); }

void ppDatafile::ClearRecordBuffer(char* buffer) { file_->Layout().ClearRecord(Buffer(buffer)); }

void ppDatafile::BeginTransaction() { database_.BeginTransaction(); }

void ppDatafile::EndTransaction() { database_.EndTransaction(); }

void ppDatafile::RebuildIndexes() {
  db::InTransaction(database_, [&] {
    SelectAll();
    file_->ClearIndexes();
    auto& entries = const_cast<std::vector<dbIndexEntry>&>(file_->Indexes());
    for (int32_t i = 0; i < GetSelectedCount(); ++i) {
      ReadRecordAt(i, nullptr);
      for (dbIndexEntry& entry : entries) {
        if (entry.index != nullptr) entry.handler->AddKey(RecordIdAt(i), &entry, buffer_);
      }
    }
  });
}

// ---- import and export (ppDatafileImport, ppDatafileExport) ------------------------------------

void ppDatafile::ImportFromFile(Handle fieldMap, const ppFileSpec& path) {
  ppDatafileImport(*this, fieldMap).FromFile(path);
}

void ppDatafile::ImportWithFileDialog(Handle fieldMap) { ppDatafileImport(*this, fieldMap).WithFileDialog(); }

void ppDatafile::ImportText(Handle text, Handle fieldMap) { ppDatafileImport(*this, fieldMap).Text(text); }

const char* ppDatafile::ImportRecord(const char* position, Handle fieldMap) {
  return ppDatafileImport(*this, fieldMap).Record(position);
}

void ppDatafile::ExportWithFileDialog(Handle fieldMap) { ppDatafileExport(*this, fieldMap).WithFileDialog(); }

void ppDatafile::ExportToFile(ppFileSpec& file, Handle fieldMap) {
  ppDatafileExport(*this, fieldMap).ToFile(file);
}

void ppDatafile::ExportRecord(ppFileSpec& file, Handle fieldMap) {
  ppDatafileExport(*this, fieldMap).Record(file);
}
