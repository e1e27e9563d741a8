// The user's preferences: units of length, how money is shown, price adjustment and rounding, the
// language, autosave and a few switches. One process-wide block, stored byte for byte (216 bytes,
// little-endian, no header) in the preferences file under the program folder, and the globals derived
// from it after every load and save: the current language code, the unit constant and the three
// number formats.
//
// The preferences dialog edits the fields of Preferences() and calls SaveDisplaySettings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/DecimalFormat.h"
#include "foundation/VconString.h"
#include "foundation/FileRecord.h"
#include "foundation/ppMoney.h"

// Unit systems of lengths (field unitSystem); any other value is treated as millimetres.
enum UnitSystem : uint32_t {
  kUnitImperial = 0,  // feet and inches
  kUnitMillimetres = 1,
  kUnitCentimetres = 2,
};

// The block as the program reads it. Every field keeps its file offset in the comment; text fields
// hold a NUL-terminated ANSI text of at most their size less one (bytes after the NUL are kept as
// read). Defaults are those of a new file; the rounding step starts at 0 and is filled in on load.
struct UserPreferences {
  static constexpr size_t kSize = 216;
  using Bytes = std::array<uint8_t, kSize>;

  uint32_t unitSystem = kUnitMillimetres;         // 0
  uint32_t moneyDecimals = 0;                     // 4: 2 decimals when not 0
  uint32_t currencyShown = 0;                     // 8
  uint32_t moneyGrouping = 1;                     // 12
  uint32_t currencyBefore = 0;                    // 16: else after the amount
  uint32_t unused20 = 1;                          // 20: not read by the program
  char currencyText[16] = {};                     // 24
  char decimalSeparator[4] = {','};               // 40
  char thousandsSeparator[4] = {'.'};             // 44
  uint32_t useFactors = 0;                        // 48: price factors and rounding on
  float exchangeFactor = 1.0f;                    // 52
  float profitFactor = 1.0f;                      // 56
  uint32_t roundingMode = 0;                      // 60: 0 to 6, see PriceRoundingMode
  int32_t legacyRoundingStep = 1;                 // 64: step of older files, in hundredths of raw money
  char note[64] = {};                             // 68: not read by the program
  uint32_t accelerate = 1;                        // 132: 3D view walks all pixel formats
  uint32_t zBufferPick = 1;                       // 136: 3D move and stretch pick through the z-buffer
  uint32_t languageCode = 0;                      // 140: becomes the current language
  uint32_t autosaveEnabled = 1;                   // 144
  uint32_t autosaveMinutes = 1;                   // 148
  uint32_t money2Decimals = 0;                    // 152: second money format (the calculation's)
  uint32_t money2CurrencyShown = 0;               // 156
  uint32_t money2Grouping = 1;                    // 160
  uint32_t money2CurrencyBefore = 0;              // 164
  uint32_t unused168 = 1;                         // 168: not read by the program
  char money2CurrencyText[20] = {};               // 172
  ppMoney roundingStep = ppMoney::FromRawInt(0);  // 192: price rounding step
  uint8_t dialogFlag = 0;                         // 200: set and shown by the preferences dialog only
  uint8_t reserved201[3] = {};                    // 201
  uint32_t displayConfiguration = 0;              // 204: 0 single, 1 left, 2 right display
  uint8_t roundEachFactor = 0;                    // 208: round also after the exchange factor
  uint8_t reserved209[7] = {};                    // 209

  // The stored form of the block.
  Bytes ToBytes() const;
  // Sets every field from the stored form.
  void FromBytes(const Bytes& bytes);
};

// The text of a fixed text field, up to its NUL or its end.
template <size_t N>
Vcon::String PreferenceText(const char (&field)[N]) {
  return Vcon::String(field, strnlen(field, N));
}

// Stores a text into a fixed text field, cut to N - 1 characters, and clears the rest of the field.
template <size_t N>
void SetPreferenceText(char (&field)[N], const Vcon::String& text) {
  size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), n);
}

// The process-wide block.
UserPreferences& Preferences();

// The preferences file: the start-up directory followed by the first entry of the program's file-name
// list. InitPreferencesPath sets it at start-up, before the first load; tests may set the path.
ppFileSpec& PreferencesFileSpec();
void InitPreferencesPath();

// Reads the block from the preferences file, creating the file with the defaults when it is missing.
// When the file cannot be opened (other than missing) or created, the block keeps the defaults.
// Then sets the derived globals. Returns false when nothing could be read or written.
bool LoadDisplaySettings();
// Writes the block to the preferences file (created when missing) and sets the derived globals.
// Returns false when the file could not be opened, created or written.
bool SaveDisplaySettings();

// Rebuilds the three number formats from the block.
void ApplyNumberFormats();
// Sets every derived global from the block (language, unit constant, number formats); load and save
// end with it.
void ApplyDerivedSettings();

// Derived globals.
uint32_t CurrentLanguageCode();
// 48 for imperial units, 50 otherwise; read by the document window, its canvases and the editor.
int32_t UnitConstant();
// Money as the preferences show it (used for money text).
const DecimalFormat& MoneyFormat();
// The second money format, used by the calculation.
const DecimalFormat& SecondMoneyFormat();
// Plain numbers of the typed value: the second format without affix, decimals on, zeros trimmed.
const DecimalFormat& PlainNumberFormat();
