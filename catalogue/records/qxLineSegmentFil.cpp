#include "catalogue/records/qxLineSegmentFil.h"

qxLineSegmentFil::qxLineSegmentFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr) {}
