#pragma once
// The platform test that chooses between narrow and wide system calls, and integer text in the
// user's locale as dialogs show and read it.
//
// The three locale characters (decimal, thousands, negative sign) are process-wide, read once at
// start-up by ReadLocaleNumberChars and afterwards only read; they are narrow (Windows-1252)
// characters.

#include <cstddef>
#include <cstdint>

#include "foundation/VconString.h"

// True: this program always runs on the wide-character platform, so callers take the UTF-16 form
// of every text-taking call.
bool IsWidePlatform();
// The system version the platform reports (10.0: no version-specific record layouts apply).
int32_t PlatformMajorVersion();
int32_t PlatformMinorVersion();

// Reads the decimal and thousands characters of the user's numeric locale and the negative sign
// of the user's monetary locale (the environment's LC_* / LANG). A character the locale leaves empty,
// or that Windows-1252 cannot hold, keeps its built-in value ('.', ',', '-').
void ReadLocaleNumberChars();
// Sets the three characters directly (tests and start-up code that knows them).
void SetLocaleNumberChars(char decimal, char thousands, char negativeSign);
char LocaleDecimalChar();
char LocaleThousandsChar();
char LocaleNegativeSign();

// Room for the longest integer text, "-2147483648", and its NUL.
inline constexpr size_t kIntTextSize = 12;
// Decimal digits of `value`, preceded by the locale's negative sign when negative; no grouping.
Vcon::String IntToText(int32_t value);
// The same written into `out`, which must hold kIntTextSize characters.
void IntToText(char* out, int32_t value);

// Rewrites `text` in place to a plain number: "-" first when the locale's negative sign occurs
// anywhere, then the digits in order. At the first locale decimal character an integer stops;
// with `keepDecimals` a "." is written there and later digits follow (later decimal characters are
// skipped). Returns the index of that "." or -1. An empty text is left as it is.
int32_t NumberTextClean(char* text, bool keepDecimals);
// Cleans `text` in place as an integer and converts it; the value is also stored in `out`. A value
// beyond the 32-bit range gives the nearest limit; a text without digits gives 0.
int32_t TextToInt(int32_t& out, char* text);
// The same on a copy of `text`.
int32_t TextToInt(int32_t& out, const Vcon::String& text);
