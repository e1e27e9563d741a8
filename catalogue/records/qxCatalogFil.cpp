#include "catalogue/records/qxCatalogFil.h"

qxCatalogFil::qxCatalogFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), name_(*this, "name"), catalog_(*this, "catalog") {}

void qxCatalogFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

Handle qxCatalogFil::CatalogText(char* buffer) const { return catalog_.Data(Buffer(buffer)); }
