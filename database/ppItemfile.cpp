#include "database/ppItemfile.h"

ppItemfile::ppItemfile(const char* layoutName, ppDatabase& database) : ppDatafile(layoutName, database) {
  StandOnFirst();
}

ppItemfile::ppItemfile(const Vcon::String& layoutName, ppDatabase& database)
    : ppDatafile(layoutName, database) {
  StandOnFirst();
}

void ppItemfile::StandOnFirst() {
  SelectAllByIndex(0);
  if (GetSelectedCount() > 0) ReadRecordAt(0, nullptr);
}
