#include "foundation/TabField.h"

#include <string>

namespace {

constexpr char kTab = '\t';
constexpr char kLineFeed = '\n';
constexpr char kReturn = '\r';

bool EndsField(char c) { return c == kTab || c == kLineFeed || c == kReturn || c == '\0'; }

// Appends to a bounded, always terminable buffer.
class FieldWriter {
 public:
  FieldWriter(char* destination, size_t size) : out_(destination), size_(size) {}
  void Put(char c) {
    if (used_ + 1 < size_) out_[used_++] = c;
  }
  void Terminate() {
    if (size_ > 0) out_[used_] = '\0';
  }

 private:
  char* out_;
  size_t size_;
  size_t used_ = 0;
};

// Handles the backslash at `p`; returns the position after the escape.
const char* ReadEscape(const char* p, FieldWriter& out) {
  char next = p[1];
  switch (next) {
    case '\0':
      out.Put('\\');
      return p + 1;  // a backslash ending the text stays itself
    case 't':
      out.Put(kTab);
      break;
    case 'n':
      out.Put(kLineFeed);
      break;
    case 'r':
      out.Put(kReturn);
      break;
    case '0':
      out.Put('\\');
      out.Put('0');
      break;
    default:
      out.Put(next);
      break;  // "\\" and any unknown escape give the character
  }
  return p + 2;
}

}  // namespace

const char* ParseTabField(char* destination, size_t destinationSize, const char* source, bool& lineEnded) {
  FieldWriter out(destination, destinationSize);
  const char* p = source;
  const bool quoted = *p == '"';
  while (!EndsField(*p)) {
    if (*p == '\\') {
      p = ReadEscape(p, out);
    } else if (quoted && *p == '"') {
      if (p[1] == '"') {
        out.Put('"');
        ++p;
      }
      ++p;
    } else {
      out.Put(*p++);
    }
  }
  out.Terminate();
  if (*p == '\0') return nullptr;
  if (*p == kTab || *p == kReturn) ++p;
  lineEnded = *p == kLineFeed;
  if (lineEnded) ++p;
  return p;
}

const char* ParseTabFields(const char* source, std::span<Vcon::String* const> fields, size_t maxBytes) {
  std::string buffer(maxBytes + 1, '\0');
  for (Vcon::String* field : fields) {
    if (source == nullptr) break;
    bool lineEnded = false;
    source = ParseTabField(buffer.data(), buffer.size(), source, lineEnded);
    *field = Vcon::String(buffer.c_str());
  }
  return source;
}
