// Makes the field handler of a layout type code. It stands apart from the handler base so that the
// base knows none of the types built on it.
#pragma once

#include <cstdint>
#include <memory>

#include "database/dbHandler.h"

class dbHandlerFactory {
 public:
  // The handler for a layout type code; any code without a handler of its own gets a long handler.
  static std::unique_ptr<dbHandler> ForType(int32_t typeCode);
};
