#include "catalogue/records/zelvproTopViewFil.h"

zelvproTopViewFil::zelvproTopViewFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      shapeFile_(std::make_unique<zelvproShapeFil>(database)),
      posSheetFile_(std::make_unique<zelvproPosSheetFil>(database)) {}

void zelvproTopViewFil::ConvertSnappoints(int32_t, int32_t) {}
