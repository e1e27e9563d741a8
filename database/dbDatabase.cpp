#include "database/dbDatabase.h"

#include <cstring>

#include "database/dbErrors.h"
#include "foundation/FileRecord.h"

dbDatabase::dbDatabase(ppFileSpec& fileSpec) : store_(dbStore::Open(fileSpec)) {
  BeginTransaction();
  try {
    if (store_->DirectoryRoot() == 0) {
      int32_t root = 0;
      directory_ = std::make_unique<dbData>(&root, dbIndex::kTextKeys, *store_);
      store_->SetDirectoryRoot(root);
    } else {
      directory_ = std::make_unique<dbData>(store_->DirectoryRoot(), *store_);
    }
  } catch (...) {
    AbortTransaction();
    throw;
  }
  EndTransaction();
}

dbDatabase::~dbDatabase() {
  directory_.reset();
  for (const RegisteredDatafile& entry : files_) entry.deleter(entry.file);
  files_.clear();
  store_.reset();
}

dbDatafile* dbDatabase::RegisteredFile(const char* name) const {
  for (const RegisteredDatafile& entry : files_)
    if (entry.name == name) return entry.file;
  return nullptr;
}

dbDatafile* dbDatabase::RegisterFile(const char* name, dbDatafile* file, dbDatafileDeleter deleter) {
  if (file == nullptr || deleter == nullptr) db::Fail(db::kBadCall);
  if (std::strlen(name) > kMaxFileNameLength || RegisteredFile(name) != nullptr) {
    deleter(file);
    db::Fail(db::kBadCall);
  }
  files_.push_back({name, file, deleter});
  return file;
}

void dbDatabase::BeginTransaction() {
  if (nesting_ == 0) store_->Begin();
  ++nesting_;
}

void dbDatabase::EndTransaction() {
  if (nesting_ < 1) db::Fail(db::kBadCall);
  if (abortPending_) {
    AbortTransaction();
    return;
  }
  if (--nesting_ == 0) store_->End();
}

void dbDatabase::AbortTransaction() {
  if (nesting_ < 1) db::Fail(db::kBadCall);
  if (--nesting_ == 0) {
    store_->Abort();
    abortPending_ = false;
  } else {
    abortPending_ = true;
  }
}

Handle dbDatabase::ReadRecord(int32_t number) { return store_->ReadRecord(number); }

int32_t dbDatabase::AddRecord(Handle data) { return store_->AddRecord(data); }

void dbDatabase::MarkRecordChanged(int32_t number) { store_->MarkRecordChanged(number); }

void dbDatabase::ReleaseRecord(int32_t number) { store_->ReleaseRecord(number); }

void dbDatabase::DeleteRecord(int32_t number) { store_->DeleteRecord(number); }

int32_t dbDatabase::AddNamedRecord(const char* name, Handle data) {
  int32_t existing = 0;
  if (directory_->Find(name, &existing) == 0) db::Fail(db::kAlreadyExists);
  const int32_t number = AddRecord(data);
  directory_->Insert(number, number, name);
  return number;
}

int32_t dbDatabase::RecordNumberOfName(const char* name) {
  int32_t number = 0;
  if (const int32_t error = directory_->Find(name, &number); error != 0) db::Fail(error);
  return number;
}

int32_t dbDatabase::FileCount() { return directory_->Rebuild(); }

std::string dbDatabase::FileNameAt(int32_t i) const { return directory_->NameAt(i); }
