#include "catalogue/records/zelvproParametricFil.h"

zelvproParametricFil::zelvproParametricFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), shapeFile_(std::make_unique<zelvproShapeFil>(database)) {}
