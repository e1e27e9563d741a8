#include "catalogue/records/zelvproTypeFil.h"

zelvproTypeFil::zelvproTypeFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), name_(*this, "Name") {}

void zelvproTypeFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

bool zelvproTypeFil::IsRecordClass() { return false; }
