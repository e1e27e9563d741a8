// A table view over a table that holds one settings record: when made it stands on the first
// record in the order of field 0's index (no current record when the table is empty).
#pragma once

#include "database/ppDatafile.h"

class ppItemfile : public ppDatafile {
 public:
  ppItemfile(const char* layoutName, ppDatabase& database);
  ppItemfile(const Vcon::String& layoutName, ppDatabase& database);

 private:
  void StandOnFirst();
};
