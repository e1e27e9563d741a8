#include "catalogue/records/zelvproPosSheetFil.h"

zelvproPosSheetFil::zelvproPosSheetFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
