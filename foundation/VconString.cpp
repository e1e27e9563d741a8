#include "foundation/VconString.h"

#include <cstring>

#include "foundation/AnsiCodePage.h"

namespace {

// Replaces occurrences of `find`, scanning leftwards from the last one; the next search starts one
// character before the replaced occurrence, so inserted text is searched again only where an earlier
// occurrence overlaps its start.
template <typename Str, typename View>
void ReplaceBackwards(Str& text, View find, View with) {
  if (find.empty()) return;
  size_t p = text.rfind(find);
  while (p != Str::npos) {
    text.replace(p, find.size(), with);
    if (p == 0) return;
    p = text.rfind(find, p - 1);
  }
}

template <typename Str, typename Char>
bool InSet(const Char* set, Char c) {
  if (!set) return false;
  for (; *set; ++set) {
    if (*set == c) return true;
  }
  return false;
}

template <typename Str, typename Char>
void EraseLeading(Str& text, const Char* set) {
  size_t n = 0;
  while (n < text.size() && InSet<Str>(set, text[n])) ++n;
  text.erase(0, n);
}

template <typename Str, typename Char>
void EraseTrailing(Str& text, const Char* set) {
  size_t n = text.size();
  while (n > 0 && InSet<Str>(set, text[n - 1])) --n;
  text.erase(n);
}

template <typename Str, typename Char>
void EraseAll(Str& text, const Char* set) {
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!InSet<Str>(set, text[i])) text[out++] = text[i];
  }
  text.erase(out);
}

// Length up to the first NUL; equality of the program's strings ignores anything after it.
template <typename Char>
size_t TextLength(const Char* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

template <typename Char>
bool SameText(const Char* a, const Char* b) {
  size_t n = TextLength(a);
  return n == TextLength(b) && std::char_traits<Char>::compare(a, b, n) == 0;
}

}  // namespace

namespace Vcon {

String& String::operator=(const char* text) {
  assign(text ? text : "");
  return *this;
}

void String::ReplaceAll(const std::string& find, const std::string& with) {
  ReplaceBackwards(*this, std::string_view(find), std::string_view(with));
}

void String::TrimLeading(const char* set) { EraseLeading(*this, set); }
void String::TrimTrailing(const char* set) { EraseTrailing(*this, set); }
void String::RemoveChars(const char* set) { EraseAll(*this, set); }

bool operator==(const String& a, const String& b) { return SameText(a.c_str(), b.c_str()); }
bool operator==(const String& a, const char* b) { return SameText(a.c_str(), b ? b : ""); }

WString::WString(const char* narrow) : std::u16string(WideFromNarrow(narrow)) {}
WString::WString(const String& narrow) : std::u16string(WideFromString(narrow)) {}

WString& WString::operator=(const char16_t* text) {
  assign(text ? text : u"");
  return *this;
}

WString& WString::operator=(const char* narrow) {
  *this = WideFromNarrow(narrow);
  return *this;
}

String WString::Narrow() const { return NarrowFromWide(*this); }

void WString::ReplaceAll(const std::u16string& find, const std::u16string& with) {
  ReplaceBackwards(*this, std::u16string_view(find), std::u16string_view(with));
}

void WString::TrimLeading(const char16_t* set) { EraseLeading(*this, set); }
void WString::TrimTrailing(const char16_t* set) { EraseTrailing(*this, set); }
void WString::RemoveChars(const char16_t* set) { EraseAll(*this, set); }

bool operator==(const WString& a, const WString& b) { return SameText(a.c_str(), b.c_str()); }
bool operator==(const WString& a, const char16_t* b) { return SameText(a.c_str(), b ? b : u""); }

}  // namespace Vcon

Vcon::WString WideFromNarrow(const char* narrow) {
  Vcon::WString out;
  if (!narrow) return out;
  out.reserve(std::strlen(narrow));
  for (; *narrow; ++narrow) out.push_back(AnsiToWide(static_cast<unsigned char>(*narrow)));
  return out;
}

Vcon::String NarrowFromWide(const Vcon::WString& wide) {
  Vcon::String out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char16_t unit = wide[i];
    bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                wide[i + 1] <= 0xDFFF;
    if (pair) ++i;
    int32_t byte = pair ? -1 : WideToAnsi(unit);
    out.push_back(byte < 0 ? kAnsiReplacement : static_cast<char>(byte));
  }
  return out;
}

Vcon::WString WideFromString(const Vcon::String& narrow) { return WideFromNarrow(narrow.c_str()); }

Vcon::WString ConcatNarrowWide(const char* a, const Vcon::WString& b) {
  Vcon::WString out = WideFromNarrow(a);
  out += b;
  return out;
}

Vcon::WString ConcatWideNarrow(const Vcon::WString& a, const char* b) {
  Vcon::WString out = a;
  out += WideFromNarrow(b);
  return out;
}

Vcon::String ConcatStringCStr(const Vcon::String& a, const char* b) {
  Vcon::String out = a;
  if (b) out += b;
  return out;
}

void CStringToHandle(const char* text, Handle h) {
  if (!h) throw int32_t{-50};
  if (!text) text = "";
  uint32_t size = static_cast<uint32_t>(std::strlen(text) + 1);
  MemSetSize(h, size);
  std::memcpy(*h, text, size);
}
