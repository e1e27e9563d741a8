#pragma once

#include <cstdint>
#include <map>

#include "foundation/VconString.h"

class ppDatafile;

// A database's localised texts, read a whole language at a time from its string table (fields "id",
// "languageCode", "string") and kept by language, then by text number. Owned by the database that
// owns the table; used on the user-interface thread only.
class LanguageTexts {
 public:
  using Texts = std::map<int32_t, Vcon::WString>;

  // Which record of two with one number in one language is kept.
  enum class Duplicates { kFirstWins, kLastWins };

  explicit LanguageTexts(Duplicates duplicates) : duplicates_(duplicates) {}

  // The texts of `language`, read from `strings` at the first request. A null table (asked before
  // it exists) answers none and keeps nothing, so the language is read once the table is there.
  const Texts& Of(ppDatafile* strings, int32_t language);

  // Forgets every language read, after the table changed or closed.
  void Clear() { languages_.clear(); }

 private:
  Duplicates duplicates_;
  std::map<int32_t, Texts> languages_;
};
