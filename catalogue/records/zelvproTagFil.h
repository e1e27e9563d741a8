// The tags of the open document (layout "qxTag"): named labels that calculation lines and plan
// elements refer to by id, kept as a table in the document record's "tags" blob. Record 0 is always
// the default tag {id 0} named in the user's language: every load puts its texts back.
//
// No owner table: saving writes only the blob's bytes. The blob belongs to the document record.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "database/ppEmbeddedData.h"

class zelvproTagFil : public ppEmbeddedData {
 public:
  static constexpr const char* kLayout = "qxTag";
  // Program texts of the default tag's name and text, and the string array of their English defaults
  // (items 1 and 2).
  static constexpr int32_t kDefaultNameText = 10046;
  static constexpr int32_t kDefaultTextText = 10047;
  static constexpr uint16_t kDefaultTexts = 2005;

  // The records in memory start as the default tag alone; the blob is not read yet.
  zelvproTagFil(ppDatabase& database, Handle blob);
  ~zelvproTagFil() override;

  // Drops every record and leaves the default tag as the only one (also in the record buffer).
  void InitDefaultTag();
  // The table's load: the blob's records, with a default tag put first when the first is not one
  // (id 0), and record 0's texts set to the default tag's in the current language (written back into
  // the record in memory).
  void BeginAccess() override;
  // The position of the first record with this id, in record order; 0 (the default tag) when none has
  // it. The buffer keeps the last record read.
  int32_t IndexOfId(int32_t id);

  // A record stored with only the narrow name or text gets their wide forms.
  void AfterRead(char* buffer) override;
  // The narrow form of the record's "tname".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;

 private:
  void SetDefaultTag(char* record);

  char* const record_;
  RecordField id_, name_, text_, tname_, ttext_;
};
