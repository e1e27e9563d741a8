#pragma once
// Runs work inside one (nestable) transaction of a database: the transaction ends when the work
// returns and is aborted, with the error passed on, when it throws.

#include <utility>

#include "database/dbDatabase.h"

namespace db {

template <typename F>
void InTransaction(dbDatabase& database, F&& work) {
  database.BeginTransaction();
  try {
    std::forward<F>(work)();
  } catch (...) {
    database.AbortTransaction();
    throw;
  }
  database.EndTransaction();
}

}  // namespace db
