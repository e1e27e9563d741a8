// The parts list of a plan: one entry per distinct (unit, colour, depth) of catalogue record ids with
// the quantity ordered, kept in descending order of the three ids compared as signed numbers, unit
// first. Elements add their parts through CollectParts; the list's reader takes the entries or the
// packed form, 16-byte little-endian entries {unit, colour, depth, quantity}.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/Vcon_HandleManager.h"

class PartsList {
 public:
  struct Entry {
    int32_t unit = 0, colour = 0, depth = 0, quantity = 0;
  };
  static constexpr uint32_t kPackedEntrySize = 16;

  // Adds `quantity` to the entry of the same three ids, or inserts a new entry in its place.
  void AddPartEntry(int32_t unit, int32_t colour, int32_t depth, int32_t quantity);
  // The entries in list order (descending keys).
  std::vector<Entry> Entries() const { return std::vector<Entry>(ascending_.rbegin(), ascending_.rend()); }
  size_t Count() const { return ascending_.size(); }
  // A new handle (the caller's) holding the packed entries.
  Handle ToHandle() const;

 private:
  // Kept in ascending order: parts of newer units have higher record ids and are appended at the end
  // instead of moving every entry.
  std::vector<Entry> ascending_;
};
