#include "catalogue/records/zelvproPriceFil.h"

zelvproPriceFil::zelvproPriceFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
