#include "catalogue/records/zelvproPosSheetFil.h"

zelvproPosSheetFil::zelvproPosSheetFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), name_(*this, "name") {}

void zelvproPosSheetFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }
