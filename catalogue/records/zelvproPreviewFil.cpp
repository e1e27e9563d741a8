#include "catalogue/records/zelvproPreviewFil.h"

zelvproPreviewFil::zelvproPreviewFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
