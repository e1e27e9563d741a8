// Reading one field of a line of tab-separated text, as every plain-text settings and data file of
// the program is read.
//
// A field runs up to TAB, CR, LF or the end of the text. A backslash escapes: \t TAB, \n LF, \r CR,
// \\ one backslash; "\0" stays the two characters; any other escaped character stands for itself.
// A field whose first character is a double quote is quoted: its double quotes are dropped and two
// in a row give one. Quotes do not protect TAB, CR or LF. A field followed by LF, CR LF or TAB LF
// ends its line; a lone CR ends only the field.
#pragma once

#include <cstddef>
#include <span>

#include "foundation/VconString.h"

// Copies the field starting at `source` into `destination`, a buffer of `destinationSize` bytes,
// always NUL-terminated; characters beyond destinationSize - 1 are dropped. Returns where the next
// field starts, with `lineEnded` telling whether this field ended its line, or nullptr when the
// field ended the text (then `lineEnded` is not changed).
const char* ParseTabField(char* destination, size_t destinationSize, const char* source, bool& lineEnded);

inline char* ParseTabField(char* destination, size_t destinationSize, char* source, bool& lineEnded) {
  return const_cast<char*>(
      ParseTabField(destination, destinationSize, static_cast<const char*>(source), lineEnded));
}

// Reads fields one after another into `fields`, each cut to `maxBytes` bytes, line ends or not, and
// stops at the end of the text: the fields not reached keep their values. Returns where the text
// goes on after the last field read, or nullptr when it ended.
const char* ParseTabFields(const char* source, std::span<Vcon::String* const> fields, size_t maxBytes);
