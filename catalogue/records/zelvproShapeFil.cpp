#include "catalogue/records/zelvproShapeFil.h"

zelvproShapeFil::zelvproShapeFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}

void zelvproShapeFil::ConvertShapes(int32_t, int32_t) {}
