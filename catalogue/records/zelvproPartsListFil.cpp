#include "catalogue/records/zelvproPartsListFil.h"

zelvproPartsListFil::zelvproPartsListFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), number_(*this, "number") {}

void zelvproPartsListFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = number_.Text(Buffer(buffer));
}
