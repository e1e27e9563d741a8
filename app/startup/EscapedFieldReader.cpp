#include "app/startup/EscapedFieldReader.h"

#include "foundation/TabField.h"

EscapedFieldReader::EscapedFieldReader(std::string_view data) : data_(data.substr(0, data.find('\0'))) {}

bool EscapedFieldReader::Next(std::string& field, bool& lineEnded) {
  field.clear();
  bool cut = false;  // an escaped NUL ended the text
  auto keep = [&](char c) {
    if (c == '\0') cut = true;
    if (!cut && field.size() < kMaxFieldChars) field += c;
  };
  while (position_ < data_.size()) {
    const char c = data_[position_];
    if (c == '\t' || c == '\r' || c == '\n') break;
    ++position_;
    if (c != '\\') {
      keep(c);
      continue;
    }
    if (position_ >= data_.size()) break;  // a backslash at the very end gives nothing
    const char escaped = data_[position_++];
    switch (escaped) {
      case 't':
        keep('\t');
        break;
      case 'n':
        keep('\n');
        break;
      case 'r':
        keep('\r');
        break;
      case '0':
        keep('\0');
        break;
      default:
        keep(escaped);
        break;
    }
  }
  return SkipSeparator(lineEnded);
}

bool EscapedFieldReader::NextQuoted(std::string& field, bool& lineEnded) {
  field.clear();
  if (AtEnd()) return false;
  const char* rest = data_.c_str() + position_;
  char buffer[kMaxFieldChars + 1];
  bool ended = false;
  const char* next = ParseTabField(buffer, sizeof buffer, rest, ended);
  field = buffer;
  if (next == nullptr) {
    position_ = data_.size();
    return false;
  }
  position_ += size_t(next - rest);
  lineEnded = ended;
  return !AtEnd();
}

bool EscapedFieldReader::SkipSeparator(bool& lineEnded) {
  if (AtEnd()) return false;
  bool ended = false;
  const char c = data_[position_++];
  if (c == '\n') {
    ended = true;
  } else if (position_ < data_.size() && data_[position_] == '\n') {  // TAB or CR, then LF
    ++position_;
    ended = true;
  }
  if (AtEnd()) return false;
  lineEnded = ended;
  return true;
}
