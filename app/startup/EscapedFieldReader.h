#pragma once
// Reading the fields of the two plain-text start files (start.txt, config.txt) beside the program.
//
// A field runs up to TAB, CR, LF, a NUL byte or the end of the data. A backslash gives the character
// after it: "\t" TAB, "\n" LF, "\r" CR, "\0" NUL (which ends the field's text; the rest of the field
// is read and dropped), any other character itself; so an escaped TAB, CR or LF does not end the
// field. A backslash at the end of the data gives nothing. A field keeps at most kMaxFieldChars
// bytes; the rest of a longer field is read and dropped.
//
// After a field the separator is read: TAB or CR, then an LF right after it; or a lone LF. An LF read
// there ends the line. A NUL byte ends the data.

#include <cstddef>
#include <string>
#include <string_view>

class EscapedFieldReader {
 public:
  static constexpr size_t kMaxFieldChars = 255;

  // Keeps a copy of `data` up to its first NUL byte.
  explicit EscapedFieldReader(std::string_view data);

  // Reads the field at the reading position into `field`. Answers true when another field follows,
  // with `lineEnded` telling whether this one ended its line; false when the data ended with this
  // field (`lineEnded` then untouched). At the end of the data the field is empty.
  bool Next(std::string& field, bool& lineEnded);
  // Reads the field at the reading position the way every settings field is read (quotes dropped,
  // see ParseTabField), at most kMaxFieldChars bytes; answers as Next does.
  bool NextQuoted(std::string& field, bool& lineEnded);

  bool AtEnd() const { return position_ >= data_.size(); }

 private:
  // Reads the separator after a field; answers whether a field follows.
  bool SkipSeparator(bool& lineEnded);

  std::string data_;  // up to the first NUL byte, so NUL-terminated for ParseTabField
  size_t position_ = 0;
};
