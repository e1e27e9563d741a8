#include "catalogue/records/zelvproPacketFil.h"

zelvproPacketFil::zelvproPacketFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), unitFile_(std::make_unique<zelvproUnitFil>(database)) {}
