// The base of the catalogue's record classes: a table view bound to one catalogue layout by its
// name, keeping the address of its record buffer, with the answers every catalogue table gives to the
// record walk (VisitRecord 1, both queries after ForEachRecord true) and the scans that the delete
// check of the catalogue database asks each table for.
#pragma once

#include <cstdint>
#include <functional>

#include "database/ppDatafile.h"

class RecordField;

class zelvproRecordFil : public ppDatafile {
 public:
  zelvproRecordFil(const char* layoutName, ppDatabase& database);

  int32_t VisitRecord(void* argument, int32_t id) override;
  bool AnswersRecordQuery(void* argument, int32_t a, int32_t b) override;
  bool IsRecordClass() override;

 protected:
  // True when a record of this table holds `value` in `field`: by the field's index when it has
  // one, else by reading every record into a scratch buffer. The view's selection, current record and
  // record buffer stay as they were.
  bool AnyRecordHolds(const RecordField& field, int32_t value);
  // True when a record's `field` is `value`, or when its blob `list` holds `value` as a 32-bit word.
  // Reads every record as above; a field the layout lacks matches nothing.
  bool AnyRecordMatches(const RecordField* field, const RecordField* list, int32_t value);
  // True when `test` holds for some record of the table, read in the order of field 0's index into a
  // scratch buffer (the view's selection, current record and buffer stay as they were).
  bool AnyRecord(const std::function<bool(const char* record)>& test);
  // Runs `import` with `fieldMap`, or, when that is null, with the program's import map of this
  // layout (resource "IMPT" of the file id; none: `import` gets null and imports nothing).
  // Sets the wide text `wide` of `buffer` to the widened `narrow`, replaced by text number current
  // record id x 10 + k of the current language when the catalogue has it.
  void SetLocalised(const RecordField& wide, const Vcon::String& narrow, char* buffer, int32_t k);
  // Reads record `id` into the current record buffer of `table`; false (nothing read) when that
  // record is gone. Other engine errors pass through.
  static bool ReadIfPresent(ppDatafile& table, int32_t id);
  void WithImportMap(Handle fieldMap, const std::function<void(Handle map)>& import);

  // The table's current record buffer (the view's own, kept for direct field access).
  char* const record_;
};
