#include "catalogue/records/zelvproDepthFil.h"

zelvproDepthFil::zelvproDepthFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
