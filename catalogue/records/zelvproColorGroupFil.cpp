#include "catalogue/records/zelvproColorGroupFil.h"

zelvproColorGroupFil::zelvproColorGroupFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
