#include "catalogue/records/zelvproColorCodeFil.h"

zelvproColorCodeFil::zelvproColorCodeFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
