#include "catalogue/records/zelvproPartsListFil.h"

zelvproPartsListFil::zelvproPartsListFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
