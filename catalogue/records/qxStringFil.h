// The program's texts by number and language (layout "qxString"), as a view that tells its owner
// after every record it adds, writes or deletes, so that texts read ahead of time can be dropped.
// Positional changes (WriteRecordAt, DeleteRecordAt, InsertRecordAt) and imports reach the same
// three calls. The callback runs also when the change fails (the table may be half changed), and
// is not told of a surrounding transaction that is aborted later.
//
// User-interface thread only, like the database it belongs to.
#pragma once

#include <cstdint>
#include <functional>

#include "database/ppDatafile.h"

class qxStringFil : public ppDatafile {
 public:
  static constexpr const char* kLayout = "qxString";

  qxStringFil(ppDatabase& database, std::function<void()> onChange);

  void AddRecord(int32_t* outId, char* buffer) override;
  void WriteRecord(int32_t id, char* buffer) override;
  void DeleteRecord(int32_t id) override;

 private:
  std::function<void()> onChange_;
};
