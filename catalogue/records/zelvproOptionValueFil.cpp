#include "catalogue/records/zelvproOptionValueFil.h"

zelvproOptionValueFil::zelvproOptionValueFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
