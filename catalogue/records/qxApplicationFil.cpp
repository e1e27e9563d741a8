#include "catalogue/records/qxApplicationFil.h"

#include "catalogue/records/qxFunctionFil.h"
#include "database/ppDatabase.h"

qxApplicationFil::qxApplicationFil(ppDatabase& database)
    : ppItemfile(kLayout, database),
      record_(GetRecordBuffer()),
      name_(*this, "name"),
      menuItems_(*this, "menuItems") {
  EnsureRecord();
  functionFile_ = std::make_unique<qxFunctionFil>(database, menuItems_.Data(record_));
  functionFile_->LoadFromBlob();
}

// The function table goes first: its blob is this table's record buffer's.
qxApplicationFil::~qxApplicationFil() { functionFile_.reset(); }

void qxApplicationFil::EnsureRecord() {
  SelectAll();
  if (GetSelectedCount() == 0) {
    ClearRecordBuffer(nullptr);
    BeginTransaction();
    try {
      AddRecord(nullptr, nullptr);
    } catch (...) {
      Database().AbortTransaction();
      throw;
    }
    EndTransaction();
    SelectAll();
  }
  ReadRecordAt(0, nullptr);
}

void qxApplicationFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

int32_t qxApplicationFil::VisitRecord(void*, int32_t) { return 1; }

bool qxApplicationFil::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }

bool qxApplicationFil::IsRecordClass() { return true; }
