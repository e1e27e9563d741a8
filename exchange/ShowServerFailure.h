#pragma once
// Reports a failure of the document server client: the server error message over `parent` (null: the
// active window) with the title text `titleTextId` and the failure's code negated (client codes 1 to
// 11 are shown as -1 to -11, apart from the ids a server sends). User-interface thread only.

#include <cstdint>

#include "platform/WindowTypes.h"

class Save2ServerFailure;

void ShowServerFailure(plat::HWND parent, const Save2ServerFailure& failure, int32_t titleTextId);
