#include "catalogue/records/zelvproUnitFil.h"

zelvproUnitFil::zelvproUnitFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      shapeFile_(std::make_unique<zelvproShapeFil>(database)),
      previewFile_(std::make_unique<zelvproPreviewFil>(database)),
      optionValueFile_(std::make_unique<zelvproOptionValueFil>(database)) {}

void zelvproUnitFil::ResetRoundShapeFlags(int32_t, int32_t) {}
