#include "catalogue/records/zelvproShape3DFil.h"

zelvproShape3DFil::zelvproShape3DFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
