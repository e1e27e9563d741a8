#include "catalogue/records/qxSkinObjectFil.h"

qxSkinObjectFil::qxSkinObjectFil(const char* layoutName, ppDatabase& database)
    : ppDatafile(layoutName, database) {}

void qxSkinObjectFil::AddRecord(int32_t* outId, char* buffer) {
  ppParameter id;
  GetFieldValue(0, id, buffer);
  if (!IsValueUnique(0, id, 0)) return;
  ppDatafile::AddRecord(outId, buffer);
}
