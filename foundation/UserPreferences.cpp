#include "foundation/UserPreferences.h"

#include <bit>

#include "foundation/FileOperations.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "foundation/ppParameter.h"
#include "platform/ResetList.h"

namespace {

constexpr uint16_t kFileNameList = 132;  // STRINGARRAY of the program's settings and data files
constexpr int32_t kPreferencesFileEntry = 1;

constexpr int32_t kMetricUnitConstant = 50;

// Loaded and changed on the user-interface thread; workers read the formats.
UserPreferences gPreferences;
ppFileSpec gPreferencesFile;
uint32_t gLanguageCode = 0;
int32_t gUnitConstant = kMetricUnitConstant;
DecimalFormat gMoneyFormat;
DecimalFormat gSecondMoneyFormat;
DecimalFormat gPlainNumberFormat;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("user preferences and number formats", [] {
  gPreferences = UserPreferences();
  gPreferencesFile = ppFileSpec();
  gLanguageCode = 0;
  gUnitConstant = kMetricUnitConstant;
  gMoneyFormat = DecimalFormat();
  gSecondMoneyFormat = DecimalFormat();
  gPlainNumberFormat = DecimalFormat();
});

// Little-endian integers at fixed offsets of the stored block.
uint64_t LoadLE(const uint8_t* at, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v |= uint64_t{at[i]} << (8 * i);
  return v;
}

void StoreLE(uint8_t* at, size_t n, uint64_t v) {
  for (size_t i = 0; i < n; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Writes each field of the block at its offset.
struct BlockWriter {
  UserPreferences::Bytes& bytes;
  template <class T>
  void Int(size_t offset, const T& v) {
    StoreLE(&bytes[offset], sizeof(T), static_cast<uint64_t>(v));
  }
  void Float(size_t offset, float v) { Int(offset, std::bit_cast<uint32_t>(v)); }
  void Money(size_t offset, const ppMoney& v) { Int(offset, v.Raw()); }
  template <size_t N>
  void Chars(size_t offset, const char (&v)[N]) {
    std::memcpy(&bytes[offset], v, N);
  }
  template <size_t N>
  void Chars(size_t offset, const uint8_t (&v)[N]) {
    std::memcpy(&bytes[offset], v, N);
  }
};

// Reads each field of the block from its offset.
struct BlockReader {
  const UserPreferences::Bytes& bytes;
  template <class T>
  void Int(size_t offset, T& v) {
    v = static_cast<T>(LoadLE(&bytes[offset], sizeof(T)));
  }
  void Float(size_t offset, float& v) {
    v = std::bit_cast<float>(static_cast<uint32_t>(LoadLE(&bytes[offset], 4)));
  }
  void Money(size_t offset, ppMoney& v) {
    v = ppMoney::FromRaw(static_cast<int64_t>(LoadLE(&bytes[offset], 8)));
  }
  template <size_t N>
  void Chars(size_t offset, char (&v)[N]) {
    std::memcpy(v, &bytes[offset], N);
  }
  template <size_t N>
  void Chars(size_t offset, uint8_t (&v)[N]) {
    std::memcpy(v, &bytes[offset], N);
  }
};

// The one map of the stored block: every field with its file offset. `Block` is the block, const for
// writing; `Codec` a BlockWriter or a BlockReader.
template <class Block, class Codec>
void MapFields(Block& p, Codec&& c) {
  c.Int(0, p.unitSystem);
  c.Int(4, p.moneyDecimals);
  c.Int(8, p.currencyShown);
  c.Int(12, p.moneyGrouping);
  c.Int(16, p.currencyBefore);
  c.Int(20, p.unused20);
  c.Chars(24, p.currencyText);
  c.Chars(40, p.decimalSeparator);
  c.Chars(44, p.thousandsSeparator);
  c.Int(48, p.useFactors);
  c.Float(52, p.exchangeFactor);
  c.Float(56, p.profitFactor);
  c.Int(60, p.roundingMode);
  c.Int(64, p.legacyRoundingStep);
  c.Chars(68, p.note);
  c.Int(132, p.accelerate);
  c.Int(136, p.zBufferPick);
  c.Int(140, p.languageCode);
  c.Int(144, p.autosaveEnabled);
  c.Int(148, p.autosaveMinutes);
  c.Int(152, p.money2Decimals);
  c.Int(156, p.money2CurrencyShown);
  c.Int(160, p.money2Grouping);
  c.Int(164, p.money2CurrencyBefore);
  c.Int(168, p.unused168);
  c.Chars(172, p.money2CurrencyText);
  c.Money(192, p.roundingStep);
  c.Int(200, p.dialogFlag);
  c.Chars(201, p.reserved201);
  c.Int(204, p.displayConfiguration);
  c.Int(208, p.roundEachFactor);
  c.Chars(209, p.reserved209);
}

// Older files kept the step in field 64, in hundredths of the raw value; a file without either gets
// the smallest step.
void FillInRoundingStep(UserPreferences& p) {
  if (p.roundingStep.Raw() != 0) return;
  p.roundingStep = ppMoney::FromRawLong(p.legacyRoundingStep).DividedByInt(100);
  if (p.roundingStep.Raw() == 0) p.roundingStep = ppMoney::FromRawInt(1);
}

// Opens the preferences file for reading and writing into `file`, creating it when it is missing.
// `created` tells that the file is new (and empty).
bool OpenPreferencesFile(ppFileSpec& file, bool& created) {
  created = false;
  try {
    created = FileOpenOrCreate(file, gPreferencesFile);
    return true;
  } catch (int32_t) {
    return false;
  }
}

void CloseQuietly(ppFileSpec& file) {
  try {
    FileClose(file);
  } catch (int32_t) {
  }
}

bool WriteBlock(ppFileSpec& file, const UserPreferences& block) {
  UserPreferences::Bytes bytes = block.ToBytes();
  try {
    FileWrite(file, bytes.data(), UserPreferences::kSize, 0);
    return true;
  } catch (int32_t) {
    return false;
  }
}

DecimalFormat MoneyFormatOf(const Vcon::String& affix, uint32_t affixOn, uint32_t affixBefore,
                            uint32_t decimalsOn, uint32_t grouping) {
  DecimalFormat f;
  f.affix = affix;
  f.affixOn = affixOn != 0;
  f.affixBefore = affixBefore != 0;
  f.decimalsOn = decimalsOn != 0;
  f.grouping = grouping != 0;
  f.decimalPoint = PreferenceText(gPreferences.decimalSeparator);
  f.thousandsSeparator = PreferenceText(gPreferences.thousandsSeparator);
  return f;
}

}  // namespace

UserPreferences::Bytes UserPreferences::ToBytes() const {
  Bytes bytes{};
  MapFields(*this, BlockWriter{bytes});
  return bytes;
}

void UserPreferences::FromBytes(const Bytes& bytes) { MapFields(*this, BlockReader{bytes}); }

UserPreferences& Preferences() { return gPreferences; }

ppFileSpec& PreferencesFileSpec() { return gPreferencesFile; }

void InitPreferencesPath() {
  Vcon::WString directory;
  GetStartupDirectory(directory);
  Vcon::WString name;
  GetStringArrayText(name, kFileNameList, kPreferencesFileEntry);
  gPreferencesFile = ppFileSpec(directory + name);
}

bool LoadDisplaySettings() {
  ppFileSpec file;
  bool created = false;
  bool opened = OpenPreferencesFile(file, created);
  gPreferences = UserPreferences();
  bool done = false;
  if (opened) {
    if (created) {
      // A first start writes the defaults as they are, the separators "," and "." included.
      done = WriteBlock(file, gPreferences);
    } else {
      // A short file leaves the rest of the block at the defaults.
      UserPreferences::Bytes bytes = gPreferences.ToBytes();
      try {
        FileRead(file, bytes.data(), UserPreferences::kSize, 0);
        done = true;
      } catch (int32_t) {
      }
      gPreferences.FromBytes(bytes);
    }
    CloseQuietly(file);
  }
  FillInRoundingStep(gPreferences);
  ApplyDerivedSettings();
  return done;
}

bool SaveDisplaySettings() {
  ppFileSpec file;
  bool created = false;
  bool done = false;
  if (OpenPreferencesFile(file, created)) {
    done = WriteBlock(file, gPreferences);
    CloseQuietly(file);
  }
  ApplyDerivedSettings();
  return done;
}

void ApplyNumberFormats() {
  const UserPreferences& p = gPreferences;
  gMoneyFormat = MoneyFormatOf(PreferenceText(p.currencyText), p.currencyShown, p.currencyBefore,
                               p.moneyDecimals, p.moneyGrouping);
  gSecondMoneyFormat = MoneyFormatOf(PreferenceText(p.money2CurrencyText), p.money2CurrencyShown,
                                     p.money2CurrencyBefore, p.money2Decimals, p.money2Grouping);
  gPlainNumberFormat = gSecondMoneyFormat;
  gPlainNumberFormat.affix = "";
  gPlainNumberFormat.affixOn = false;
  gPlainNumberFormat.decimalsOn = true;
  gPlainNumberFormat.trimZeros = true;
  ppMoney::SetDefaultFormat(gMoneyFormat);
  ppParameter::SetPlainNumberFormat(gPlainNumberFormat);
}

void ApplyDerivedSettings() {
  gLanguageCode = gPreferences.languageCode;
  gUnitConstant = gPreferences.unitSystem == kUnitImperial ? 48 : 50;
  ApplyNumberFormats();
}

uint32_t CurrentLanguageCode() { return gLanguageCode; }
int32_t UnitConstant() { return gUnitConstant; }
const DecimalFormat& MoneyFormat() { return gMoneyFormat; }
const DecimalFormat& SecondMoneyFormat() { return gSecondMoneyFormat; }
const DecimalFormat& PlainNumberFormat() { return gPlainNumberFormat; }
