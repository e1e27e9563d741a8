#include "catalogue/records/RewriteEveryRecord.h"

#include "database/ppDatafile.h"

void RewriteEveryRecord(ppDatafile& table, const std::function<void(char* record)>& change) {
  table.SelectAll();
  const int32_t count = table.GetSelectedCount();
  for (int32_t i = 0; i < count; ++i) {
    table.ReadRecordPinnedAt(i, nullptr);
    try {
      change(table.GetRecordBuffer());
      table.WriteRecordAt(i, nullptr);
    } catch (...) {
      table.ReleaseRecordAt(i);
      throw;
    }
    table.ReleaseRecordAt(i);
  }
}
