#pragma once
// The notation of blob cells. A blob cell is empty (an empty blob) or "<kind>: <body>":
//
//   points: X Y; X Y; ...     32-bit floats, one entry per ';' (outlines: millimetres)
//   words: W W ...; W W ...   typed entry words, one entry per ';'; a word is
//                               12  -3  0x100000   a 32-bit integer
//                               1.5  2e3  600f     a 32-bit float (a '.', an exponent or an 'f')
//                               1.5d               a 64-bit double
//                               rgb:R,G,B          an opaque colour packed from percentages
//                               rgba:R,G,B,A       the same with its alpha percentage
//                               qxShape:carcase-600[*K][+C]   the record id of the record of that
//                                                  layout with that name (times K, plus C); names
//                                                  used in words hold no blanks
//   table: path.tsv           the records of a tab-separated file packed as an embedded table of
//                             the layout the field holds (unit anchors, function records, fields)
//   file: path                a file's bytes as they stand (browser text)
//   png: <picture>            a generated picture (see PictureMaker.h)
//
// Paths are relative to the database's source folder. Faults are thrown as std::invalid_argument
// with a message; the caller adds the file and line.

#include <cstdint>
#include <string>
#include <vector>

namespace mkcatalog {

// What the notation needs from the database being built.
class BlobContext {
 public:
  virtual ~BlobContext() = default;
  // The record id of the record of `layout` named `name`; throws std::invalid_argument when none.
  virtual int32_t RecordId(const std::string& layout, const std::string& name) = 0;
  virtual std::vector<uint8_t> EmbeddedTable(const std::string& path) = 0;
  virtual std::vector<uint8_t> FileBytes(const std::string& path) = 0;
};

// One entry of a "words:" or "points:" blob, for the checks that know the field's entry form.
struct BlobEntry {
  uint32_t size = 0;
  std::string firstLayout;  // the layout the first word names, "" when it is a plain number
  int32_t firstWord = 0;
  int32_t secondWord = 0;
};

struct Blob {
  std::vector<uint8_t> bytes;
  std::vector<BlobEntry> entries;  // empty unless the cell was "words:" or "points:"
};

Blob ParseBlob(const std::string& cell, BlobContext& context);

// "layout:name[*K][+C]" as a number; sets `layout` to the layout named.
int32_t ReferenceValue(const std::string& text, BlobContext& context, std::string* layout = nullptr);

}  // namespace mkcatalog
