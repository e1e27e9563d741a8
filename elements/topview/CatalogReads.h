// Small reads of catalogue records that the top-view element makes again and again: a record by id
// that may be gone, records by their stored "id", the colour codes in their order, and blobs as
// little-endian 32-bit words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ppDatafile;
class zelvDatabase;

class CatalogReads {
 public:
  // Reads record `id` of `file` into `buffer` (null: the file's own); false, nothing read, for id 0
  // or a record that is gone. Other engine errors pass through.
  static bool Read(ppDatafile& file, int32_t id, char* buffer = nullptr);
  // The record id of the record whose stored id (field `field`) is `stored`; 0 for 0 or none.
  static int32_t RecordOfStoredId(ppDatafile& file, int32_t stored, const char* field = "id");
  // A long field of record `id`, read through a scratch buffer (the file's buffer stays); 0 when the
  // record is gone.
  static int32_t LongOf(ppDatafile& file, int32_t id, const char* field);

  // The number of colour-code records (the colour groups of the catalogue).
  static int32_t ColourCodeCount(zelvDatabase& db);
  // The record id of the colour code at position i (0-based, in the order of its table); 0 when
  // there is none.
  static int32_t ColourCodeAt(zelvDatabase& db, int32_t i);
  // "defaultColor" of the colour code at position i; 0 when there is none.
  static int32_t DefaultColourOfCode(zelvDatabase& db, int32_t i);
  // The colour record ids colour group `group` (a colour code "id") allows.
  static std::vector<int32_t> GroupColours(zelvDatabase& db, int32_t group);

  // Word i of a blob of little-endian words; 0 past its end.
  static int32_t WordAt(const std::vector<uint8_t>& bytes, size_t i);
  static size_t WordCount(const std::vector<uint8_t>& bytes) { return bytes.size() / 4; }
};
