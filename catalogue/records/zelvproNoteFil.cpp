#include "catalogue/records/zelvproNoteFil.h"

zelvproNoteFil::zelvproNoteFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
