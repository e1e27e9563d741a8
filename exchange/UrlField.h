#pragma once
// The escaping of file names in the document server's forms and lists.
//
// UrlEncodeField escapes the sixteen characters " \ ^ ` { } | ] [ < > # + / & ? as "%25" and their two
// upper-case hexadecimal digits (a double quote leaves as %2522) and a percent sign as "%25"; nothing
// else (spaces, "=", non-ASCII) is escaped. A server that decodes the form once so receives and lists
// the names with the sixteen characters as three-character escapes ("%22").
//
// UrlDecodeField turns those three-character escapes back into their characters and "%25" into "%";
// upper-case escapes only ("%2f" stays as it is). It is not the encoder's inverse: the encoder's
// "%2522" decodes to "%22".
//
// Both are one pass over the text (file names are short, but nothing here may grow with its square).

#include "foundation/VconString.h"

Vcon::WString UrlEncodeField(const Vcon::WString& text);
Vcon::WString UrlDecodeField(const Vcon::WString& text);
