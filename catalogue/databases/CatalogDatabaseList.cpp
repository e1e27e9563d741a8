#include "catalogue/databases/CatalogDatabaseList.h"

#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/qxFunctionFil.h"
#include "foundation/FileOperations.h"
#include "platform/ResetList.h"

CatalogDatabaseList* CatalogDatabases = nullptr;
zelvDatabase* MainCatalogDatabase = nullptr;

namespace {
// Neither global owns what it names; a fresh process starts with no list.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("catalogue list and main catalogue", [] {
  CatalogDatabases = nullptr;
  MainCatalogDatabase = nullptr;
});
}  // namespace

namespace {

// The words at bytes 0, 4 and 8 of the file, into word3, word2 and word4 as the store reads them;
// a file shorter than 12 bytes reads 0 for the words it lacks.
void ReadHead(ppFileSpec& fileSpec) {
  ppFileSpec file;
  FileOpen(file, fileSpec, false);
  uint32_t words[3] = {0, 0, 0};
  try {
    for (uint32_t i = 0; i < 3; ++i) FileRead(file, &words[i], 4, int64_t(i) * 4);
  } catch (...) {
    FileClose(file);
    throw;
  }
  FileClose(file);
  fileSpec.word3 = words[0];
  fileSpec.word2 = words[1];
  fileSpec.word4 = words[2];
}

}  // namespace

CatalogDatabaseList::CatalogDatabaseList() {
  CatalogDatabases = this;
  OpenFromApplication();
  MainCatalogDatabase = Count() > 0 ? FindById(1) : nullptr;
}

CatalogDatabaseList::~CatalogDatabaseList() {
  if (CatalogDatabases == this) CatalogDatabases = nullptr;
  for (Entry& entry : entries_) {
    if (MainCatalogDatabase == entry.database.get()) MainCatalogDatabase = nullptr;
    entry.database.reset();
  }
  for (auto& database : unlisted_) database.reset();
}

zelvDatabase* CatalogDatabaseList::FindById(int32_t identifier) const {
  for (const Entry& entry : entries_) {
    if (entry.database != nullptr && entry.database->Identifier() == identifier) return entry.database.get();
  }
  return nullptr;
}

zelvDatabase* CatalogDatabaseList::DatabaseAt(int32_t index) const {
  const Entry* entry = EntryAt(index);
  return entry != nullptr ? entry->database.get() : nullptr;
}

const CatalogDatabaseList::Entry* CatalogDatabaseList::EntryAt(int32_t index) const {
  return index >= 0 && index < Count() ? &entries_[size_t(index)] : nullptr;
}

void CatalogDatabaseList::OpenFromApplication() {
  if (ApplicationRecordFile == nullptr) return;
  qxFunctionFil& functions = ApplicationRecordFile->FunctionFile();
  const RecordField type(functions, "type"), path(functions, "path");
  const int32_t count = functions.GetSelectedCount();
  for (int32_t i = 0; i < count; ++i) {
    functions.ReadRecordAt(i, nullptr);
    const char* record = functions.GetRecordBuffer();
    if (type.Long(record) != qxFunctionFil::kCatalogueType) continue;
    const Vcon::WString name = WideFromString(path.Text(record));
    try {
      OpenDatabaseFile(ppFileSpec(name));
    } catch (int32_t error) {
      failures_.push_back({name, error});
    } catch (...) {
      failures_.push_back({name, 0});
    }
  }
}

void CatalogDatabaseList::OpenDatabaseFile(const ppFileSpec& fileSpec) {
  ppFileSpec file(fileSpec);
  ReadHead(file);
  const uint32_t atByte4 = file.word2, atByte8 = file.word4;
  if (atByte4 == kCatalogueCode) {
    unlisted_.push_back(std::make_unique<zelvDatabase>(file));
  } else if (atByte8 == kCatalogueCode) {
    auto database = std::make_unique<zelvDatabase>(file);
    database->SetFileTypeCode(atByte4);
    entries_.push_back(Entry{atByte4, std::move(database), file});
  }
}
