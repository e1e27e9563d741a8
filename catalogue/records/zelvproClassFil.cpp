#include "catalogue/records/zelvproClassFil.h"

zelvproClassFil::zelvproClassFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
