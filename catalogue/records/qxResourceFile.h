// Resource records of the resources database (layout "qxResource"): data in the "resource" blob,
// found by "resID", resource type, language code and "name". The table owns the resource type and
// language code tables of the same database.
//
// The header record is record 0 in index order. Construction adds it to an empty table (id 0,
// "resource" the two 32-bit words 1 and 0) and keeps it in a second record buffer, its blob locked,
// for as long as the table exists.
//
// A line of import text goes through ImportRecord: fields up to kImportFieldBytes - 1 bytes each;
// match keys compare for equality and together (every key must hold) name the one record they
// match; the "resource" text is stored as its bytes and a NUL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"

class qxLangCodeFile;
class qxResTypeFile;

class qxResourceFile : public ppDatafile {
 public:
  static constexpr int32_t kFileId = 5000;
  static constexpr const char* kLayout = "qxResource";
  static constexpr size_t kImportFieldBytes = 32768;

  explicit qxResourceFile(ppDatabase& database);
  ~qxResourceFile() override;

  // "resID" as text, "name" and the "resource" bytes up to their first NUL, one blank between.
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;
  const char* ImportRecord(const char* position, Handle fieldMap) override;

  // Word i (0 or 1) of the header record's blob; 0 when the blob is shorter.
  int32_t HeaderWord(int32_t i) const;
  qxResTypeFile& ResTypeFile() const { return *resTypeFile_; }
  qxLangCodeFile& LangCodeFile() const { return *langCodeFile_; }

 private:
  struct ImportedField {
    ppFieldMapEntry entry;
    std::string text;
  };

  void MakeHeaderRecord();
  std::vector<ImportedField> ReadImportLine(const char*& position, Handle fieldMap);
  int32_t RecordNamedBy(const std::vector<ImportedField>& fields);
  void ApplyImportedField(const ImportedField& field, bool newRecord);
  void SetResourceText(const std::string& text);

  char* const record_;
  char* header_ = nullptr;  // the header record's buffer, owned
  Handle headerBlob_ = nullptr;
  RecordField id_, resID_, name_, resource_;
  std::unique_ptr<qxResTypeFile> resTypeFile_;
  std::unique_ptr<qxLangCodeFile> langCodeFile_;
};
