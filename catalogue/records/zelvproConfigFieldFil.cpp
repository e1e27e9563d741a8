#include "catalogue/records/zelvproConfigFieldFil.h"

zelvproConfigFieldFil::zelvproConfigFieldFil(ppDatabase& database, Handle blob, ppDatafile* owner)
    : ppEmbeddedData(kLayout, database, blob, owner), record_(GetRecordBuffer()) {}
