#include "database/dbErrors.h"

#include "foundation/ProcessServices.h"

namespace db {

void Fail(int32_t code) {
  ErrorHook(code);
  throw code;
}

}  // namespace db
