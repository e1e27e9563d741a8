#include "catalogue/records/zelvproGroupFil.h"

zelvproGroupFil::zelvproGroupFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), name_(*this, "Name") {}

void zelvproGroupFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }
