#include "catalogue/records/zelvproMaterialFil.h"

zelvproMaterialFil::zelvproMaterialFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
