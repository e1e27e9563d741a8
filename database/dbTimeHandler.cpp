#include "database/dbTimeHandler.h"

#include "foundation/ppParameter.h"

void dbTimeHandler::GetAsValue(ppParameter* out, const char*) const { out->ReleasePayload(); }
