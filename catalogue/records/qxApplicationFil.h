// The one application record (layout "qxApplication"): program-wide settings, the function
// records that name the catalogue databases, and the signature and version strings that saved
// documents carry.
//
// Construction makes sure the record exists (an empty one is added to an empty table), reads it
// into the record buffer and loads its function records; the buffer then stays on it for the run.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "database/ppItemfile.h"

class qxFunctionFil;

class qxApplicationFil : public ppItemfile {
 public:
  static constexpr int32_t kFileId = 5100;
  static constexpr const char* kLayout = "qxApplication";

  explicit qxApplicationFil(ppDatabase& database);
  ~qxApplicationFil() override;

  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;
  bool IsRecordClass() override;

  // The function records of the record's "menuItems", owned.
  qxFunctionFil& FunctionFile() const { return *functionFile_; }

 private:
  void EnsureRecord();

  char* const record_;
  RecordField name_, menuItems_;
  std::unique_ptr<qxFunctionFil> functionFile_;
};
