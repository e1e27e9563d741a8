#include "catalogue/records/zelvproConfiguratorFil.h"

zelvproConfiguratorFil::zelvproConfiguratorFil(ppDatabase& database) : zelvproRecordFil(kLayout, database) {}
