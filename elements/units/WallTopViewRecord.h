// The catalogue record that both the walls of a new room and the worktop runs are made from: the
// top-view record with stored "ID" 171066 in the catalogue whose identifier is 1. It is looked up
// once and kept for the run.
#pragma once

#include <cstdint>

class zelvDatabase;

class WallTopViewRecord {
 public:
  static constexpr int32_t kCatalogue = 1;
  static constexpr int32_t kStoredId = 171066;

  struct Found {
    zelvDatabase* db = nullptr;  // not owned
    int32_t recordId = 0;        // 0 when there is no such record
    explicit operator bool() const { return db != nullptr && recordId != 0; }
  };

  // The record, looked up at the first call that finds it; a failed lookup is tried again next time
  // (the catalogues may not be open yet).
  static Found Find();
  // Forgets the kept record (tests, and the run's reset).
  static void Reset();
};
