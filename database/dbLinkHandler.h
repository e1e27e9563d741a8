// A link field: the record number of the linked record in the file its layout entry names. Stored,
// converted and indexed like a long.
#pragma once

#include "database/dbLongHandler.h"

class dbLinkHandler : public dbLongHandler {};
