// A blob field (type codes 9, 10, 12 and 16): bytes in a handle that the record owns. Typed values
// do not reach it; callers read and fill the handle itself.
#pragma once

#include "database/dbBasicmmHandler.h"

class dbBlobHandler : public dbBasicmmHandler {};
