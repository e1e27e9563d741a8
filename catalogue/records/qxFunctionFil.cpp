#include "catalogue/records/qxFunctionFil.h"

qxFunctionFil::qxFunctionFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr) {}
