#include "catalogue/records/zelvproPreviewFil.h"

zelvproPreviewFil::zelvproPreviewFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), name_(*this, "name") {}

void zelvproPreviewFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }
