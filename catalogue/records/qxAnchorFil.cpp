#include "catalogue/records/qxAnchorFil.h"

qxAnchorFil::qxAnchorFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr) {}
