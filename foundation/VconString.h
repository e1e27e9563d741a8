#pragma once
// The program's two string classes and the conversions between them.
//
// Vcon::String is narrow text in the ANSI code page, which for this program is always Windows-1252
// (see AnsiCodePage.h); resources, record layouts, number texts and internal keys are narrow.
// Vcon::WString is UTF-16 text; user-interface text, file names and database strings are wide.
// Both are the standard library strings with a few operations added; they own their characters
// and copy by value.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/Vcon_HandleManager.h"

namespace Vcon {

class String : public std::string {
 public:
  String() = default;
  String(const char* text) : std::string(text ? text : "") {}
  String(const char* text, size_t count) : std::string(text, count) {}
  String(size_t count, char c) : std::string(count, c) {}
  String(const std::string& text) : std::string(text) {}
  String(std::string&& text) : std::string(std::move(text)) {}

  String& operator=(const char* text);

  // Replaces every occurrence of `find` by `with`, searching from the end of the text leftwards,
  // so text just inserted is not searched again ("aaa", "aa" -> "a" gives "a"). An empty `find`
  // changes nothing.
  void ReplaceAll(const std::string& find, const std::string& with);
  // Erases the leading run of characters that occur in `set` (a NUL-terminated text).
  void TrimLeading(const char* set);
  // Erases the trailing run of characters that occur in `set`.
  void TrimTrailing(const char* set);
  // Removes every character that occurs in `set`, keeping the order of the others.
  void RemoveChars(const char* set);

  // Texts compare as NUL-terminated sequences: a string with an embedded NUL equals its prefix.
  friend bool operator==(const String& a, const String& b);
  friend bool operator==(const String& a, const char* b);
  friend bool operator==(const String& a, const std::string& b) { return a == b.c_str(); }
  friend bool operator!=(const String& a, const String& b) { return !(a == b); }
  friend bool operator!=(const String& a, const char* b) { return !(a == b); }
  friend bool operator!=(const String& a, const std::string& b) { return !(a == b); }
};

class WString : public std::u16string {
 public:
  WString() = default;
  // Widens a NUL-terminated narrow text through the ANSI code page.
  WString(const char* narrow);
  WString(const String& narrow);
  WString(const char16_t* text) : std::u16string(text ? text : u"") {}
  WString(const char16_t* text, size_t count) : std::u16string(text, count) {}
  WString(size_t count, char16_t c) : std::u16string(count, c) {}
  explicit WString(char16_t c) : std::u16string(1, c) {}
  WString(const std::u16string& text) : std::u16string(text) {}
  WString(std::u16string&& text) : std::u16string(std::move(text)) {}

  WString& operator=(const char16_t* text);
  WString& operator=(const char* narrow);

  // The text narrowed to the ANSI code page; characters it lacks become '?'.
  String Narrow() const;
  explicit operator String() const { return Narrow(); }

  void ReplaceAll(const std::u16string& find, const std::u16string& with);
  void TrimLeading(const char16_t* set);
  void TrimTrailing(const char16_t* set);
  void RemoveChars(const char16_t* set);

  friend bool operator==(const WString& a, const WString& b);
  friend bool operator==(const WString& a, const char16_t* b);
  friend bool operator==(const WString& a, const std::u16string& b) { return a == b.c_str(); }
  friend bool operator!=(const WString& a, const WString& b) { return !(a == b); }
  friend bool operator!=(const WString& a, const char16_t* b) { return !(a == b); }
  friend bool operator!=(const WString& a, const std::u16string& b) { return !(a == b); }
};

}  // namespace Vcon

// Conversions through the ANSI code page (Windows-1252, our own tables, never the C locale).
// A null or empty text gives an empty string.
Vcon::WString WideFromNarrow(const char* narrow);
// Converts every unit of `wide`; units the code page lacks (and unpaired surrogates) become '?',
// a surrogate pair becomes one '?'.
Vcon::String NarrowFromWide(const Vcon::WString& wide);
// WideFromNarrow of the string's text (up to its first NUL).
Vcon::WString WideFromString(const Vcon::String& narrow);

Vcon::WString ConcatNarrowWide(const char* a, const Vcon::WString& b);
Vcon::WString ConcatWideNarrow(const Vcon::WString& a, const char* b);
Vcon::String ConcatStringCStr(const Vcon::String& a, const char* b);

// Resizes `h` to the text's length + 1 and copies the text with its NUL (a null text copies as
// empty). A null handle is a bad call and throws -50.
void CStringToHandle(const char* text, Handle h);

// Hashes agree with equality: only the text up to the first NUL counts.
template <>
struct std::hash<Vcon::String> {
  size_t operator()(const Vcon::String& s) const noexcept {
    return std::hash<std::string_view>{}(std::string_view(s.c_str()));
  }
};
template <>
struct std::hash<Vcon::WString> {
  size_t operator()(const Vcon::WString& s) const noexcept {
    return std::hash<std::u16string_view>{}(std::u16string_view(s.c_str()));
  }
};
