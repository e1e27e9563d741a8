#include "foundation/UserPreferences.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "foundation/LocaleNumbers.h"
#include "foundation/MoneyText.h"
#include "foundation/ProcessServices.h"
#include "foundation/ppParameter.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t off) {
  return b[off] | b[off + 1] << 8 | b[off + 2] << 16 | uint32_t{b[off + 3]} << 24;
}

void PutU32(std::vector<uint8_t>& b, size_t off, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[off + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Each test gets its own folder and preferences file; the process-wide block, the file record and
// the derived globals are put back afterwards.
class PreferencesFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/prefs-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    savedBlock_ = Preferences();
    savedSpec_ = PreferencesFileSpec();
    savedMoneyFormat_ = ppMoney::DefaultFormat();
    savedPlainFormat_ = ppParameter::PlainNumberFormat();
    savedLocale_ = {LocaleDecimalChar(), LocaleThousandsChar(), LocaleNegativeSign()};
    PreferencesFileSpec() = ppFileSpec(Vcon::WString(Vcon::String(file().string())));
  }
  void TearDown() override {
    Preferences() = savedBlock_;
    ApplyDerivedSettings();
    ppMoney::SetDefaultFormat(savedMoneyFormat_);
    ppParameter::SetPlainNumberFormat(savedPlainFormat_);
    PreferencesFileSpec() = savedSpec_;
    SetLocaleNumberChars(savedLocale_[0], savedLocale_[1], savedLocale_[2]);
    fs::remove_all(dir_);
  }
  fs::path file() const { return dir_ / "prefs.dat"; }

  fs::path dir_;
  UserPreferences savedBlock_;
  ppFileSpec savedSpec_;
  DecimalFormat savedMoneyFormat_;
  DecimalFormat savedPlainFormat_;
  std::array<char, 3> savedLocale_{};
};

TEST_F(PreferencesFile, MissingFileIsCreatedWithTheDefaults) {
  EXPECT_TRUE(LoadDisplaySettings());
  std::vector<uint8_t> b = ReadAll(file());
  ASSERT_EQ(b.size(), 216u);
  EXPECT_EQ(U32At(b, 0), 1u);
  EXPECT_EQ(U32At(b, 4), 0u);
  EXPECT_EQ(U32At(b, 12), 1u);
  EXPECT_EQ(U32At(b, 20), 1u);
  EXPECT_EQ(b[40], ',');
  EXPECT_EQ(b[41], 0);
  EXPECT_EQ(b[44], '.');
  EXPECT_EQ(std::bit_cast<float>(U32At(b, 52)), 1.0f);
  EXPECT_EQ(std::bit_cast<float>(U32At(b, 56)), 1.0f);
  EXPECT_EQ(U32At(b, 64), 1u);
  for (size_t off : {132, 136, 144, 148, 160, 168}) EXPECT_EQ(U32At(b, off), 1u) << off;
  for (size_t i = 192; i < 216; ++i) EXPECT_EQ(b[i], 0) << i;

  // In memory the missing step becomes the smallest one.
  EXPECT_EQ(Preferences().roundingStep.Raw(), 1);
  EXPECT_EQ(Preferences().unitSystem, kUnitMillimetres);
  EXPECT_EQ(CurrentLanguageCode(), 0u);
  EXPECT_EQ(UnitConstant(), 50);
  const DecimalFormat& money = MoneyFormat();
  EXPECT_FALSE(money.decimalsOn);
  EXPECT_FALSE(money.affixOn);
  EXPECT_TRUE(money.grouping);
  EXPECT_EQ(money.thousandsSeparator, ".");
  EXPECT_EQ(money.decimalPoint, ",");
}

// The 216 bytes of the defaults table, built from the table itself: 1 for the unit system, the money
// grouping, the two unread words, acceleration, z-buffer pick, autosave and its minute, the second
// grouping; "," and "." as separators; both factors 1.0; the old rounding step 1; zero elsewhere.
std::vector<uint8_t> DefaultsTable() {
  std::vector<uint8_t> b(216, 0);
  for (size_t off : {0, 12, 20, 64, 132, 136, 144, 148, 160, 168}) PutU32(b, off, 1);
  b[40] = ',';
  b[44] = '.';
  PutU32(b, 52, std::bit_cast<uint32_t>(1.0f));
  PutU32(b, 56, std::bit_cast<uint32_t>(1.0f));
  return b;
}

// A first start writes the defaults table whatever the user's locale says, and numbers show with
// its "," and "."; the locale's characters never reach the preferences, neither a new file's nor a
// file the user already has.
TEST_F(PreferencesFile, AFirstStartWritesTheDefaultsTableWhateverTheLocale) {
  const struct {
    char decimal, thousands;
  } locales[] = {{'.', ','}, {',', '.'}, {',', '\xA0'}};  // C and English, German, French
  for (const auto& locale : locales) {
    SCOPED_TRACE(locale.decimal);
    fs::remove(file());
    SetLocaleNumberChars(locale.decimal, locale.thousands, '-');
    EXPECT_TRUE(LoadDisplaySettings());
    EXPECT_EQ(ReadAll(file()), DefaultsTable());
    Preferences().moneyDecimals = 1;
    ApplyNumberFormats();
    Vcon::WString money;
    FormatMoneyText(money, 14955000);
    EXPECT_EQ(money, u"1.495,50");
    EXPECT_EQ(PlainNumberFormat().decimalPoint, ",");
    EXPECT_EQ(PlainNumberFormat().thousandsSeparator, ".");
  }
  // A user's own choice of "." and "," stays under a German locale, and a save writes it back.
  std::vector<uint8_t> chosen = DefaultsTable();
  chosen[40] = '.';
  chosen[44] = ',';
  WriteAll(file(), chosen);
  SetLocaleNumberChars(',', '.', '-');
  EXPECT_TRUE(LoadDisplaySettings());
  EXPECT_EQ(PlainNumberFormat().decimalPoint, ".");
  EXPECT_TRUE(SaveDisplaySettings());
  const std::vector<uint8_t> saved = ReadAll(file());
  ASSERT_EQ(saved.size(), 216u);
  EXPECT_EQ(saved[40], '.');
  EXPECT_EQ(saved[44], ',');
}

TEST_F(PreferencesFile, OlderFileTakesTheStepFromField64) {
  std::vector<uint8_t> b(216, 0);
  PutU32(b, 0, 0);
  PutU32(b, 64, 500);
  WriteAll(file(), b);
  EXPECT_TRUE(LoadDisplaySettings());
  EXPECT_EQ(Preferences().roundingStep.Raw(), 5);
  EXPECT_EQ(Preferences().unitSystem, kUnitImperial);
  EXPECT_EQ(UnitConstant(), 48);
  // A step of its own wins over field 64.
  b[192] = 0x10;
  b[193] = 0x27;  // raw 10000: one unit
  WriteAll(file(), b);
  LoadDisplaySettings();
  EXPECT_EQ(Preferences().roundingStep.Raw(), 10000);
  // The file itself is not rewritten by loading.
  EXPECT_EQ(ReadAll(file()), b);
}

TEST_F(PreferencesFile, SavedFieldsComeBackAtTheirOffsets) {
  LoadDisplaySettings();
  UserPreferences& p = Preferences();
  p.unitSystem = kUnitCentimetres;
  p.moneyDecimals = 1;
  p.currencyShown = 1;
  p.currencyBefore = 1;
  SetPreferenceText(p.currencyText, "CU ");
  SetPreferenceText(p.money2CurrencyText, "EUR");
  p.exchangeFactor = 1.25f;
  p.roundingMode = 4;
  p.languageCode = 7;
  p.roundingStep = ppMoney::FromRaw(-2);  // all 8 bytes carry
  p.dialogFlag = 1;
  p.displayConfiguration = 2;
  p.roundEachFactor = 1;
  ASSERT_TRUE(SaveDisplaySettings());
  EXPECT_EQ(CurrentLanguageCode(), 7u);

  std::vector<uint8_t> b = ReadAll(file());
  ASSERT_EQ(b.size(), 216u);
  EXPECT_EQ(U32At(b, 0), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&b[24])), "CU ");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&b[172])), "EUR");
  EXPECT_EQ(std::bit_cast<float>(U32At(b, 52)), 1.25f);
  EXPECT_EQ(U32At(b, 60), 4u);
  EXPECT_EQ(U32At(b, 140), 7u);
  for (size_t i = 192; i < 200; ++i) EXPECT_EQ(b[i], i == 192 ? 0xFE : 0xFF) << i;
  EXPECT_EQ(b[200], 1);
  EXPECT_EQ(U32At(b, 204), 2u);
  EXPECT_EQ(b[208], 1);

  Preferences() = UserPreferences();
  LoadDisplaySettings();
  EXPECT_EQ(Preferences().ToBytes(), p.ToBytes());
  EXPECT_EQ(PreferenceText(Preferences().currencyText), "CU ");
  const DecimalFormat& money = MoneyFormat();
  EXPECT_TRUE(money.affixOn);
  EXPECT_TRUE(money.affixBefore);
  EXPECT_TRUE(money.decimalsOn);
  EXPECT_EQ(money.affix, "CU ");
  EXPECT_EQ(ppMoney::DefaultFormat().affix, "CU ");
  EXPECT_EQ(SecondMoneyFormat().affix, "EUR");
  EXPECT_FALSE(PlainNumberFormat().affixOn);
  EXPECT_TRUE(PlainNumberFormat().decimalsOn);
  EXPECT_TRUE(PlainNumberFormat().trimZeros);
  EXPECT_EQ(ppParameter::PlainNumberFormat().decimalPoint, PlainNumberFormat().decimalPoint);
}

TEST_F(PreferencesFile, SaveRecreatesADeletedFileWithTheEditedBlock) {
  LoadDisplaySettings();
  Preferences().autosaveMinutes = 15;
  fs::remove(file());
  ASSERT_TRUE(SaveDisplaySettings());
  std::vector<uint8_t> b = ReadAll(file());
  ASSERT_EQ(b.size(), 216u);
  EXPECT_EQ(U32At(b, 148), 15u);
  EXPECT_EQ(U32At(b, 0), 1u);  // the block as it stands, not reset
}

TEST_F(PreferencesFile, ShortOrOddFilesLoadSafely) {
  // A short file sets what it holds; the rest stays at the defaults.
  std::vector<uint8_t> b(8, 0);
  PutU32(b, 4, 1);
  WriteAll(file(), b);
  LoadDisplaySettings();
  EXPECT_EQ(Preferences().unitSystem, kUnitImperial);
  EXPECT_EQ(Preferences().moneyDecimals, 1u);
  EXPECT_EQ(Preferences().moneyGrouping, 1u);
  EXPECT_EQ(Preferences().profitFactor, 1.0f);
  EXPECT_EQ(Preferences().roundingStep.Raw(), 1);

  // Text fields filled to the brim, without a NUL, are read within their size.
  std::vector<uint8_t> full(216, 'A');
  WriteAll(file(), full);
  LoadDisplaySettings();
  EXPECT_EQ(PreferenceText(Preferences().currencyText), Vcon::String(16, 'A'));
  EXPECT_EQ(MoneyFormat().affix, Vcon::String(16, 'A'));
  EXPECT_EQ(PreferenceText(Preferences().money2CurrencyText), Vcon::String(20, 'A'));

  // A file that cannot be made (its folder is missing) leaves the defaults and says so.
  Preferences().unitSystem = kUnitImperial;
  PreferencesFileSpec().path = Vcon::String((dir_ / "missing" / "prefs.dat").string());
  EXPECT_FALSE(LoadDisplaySettings());
  EXPECT_EQ(Preferences().unitSystem, kUnitMillimetres);
  EXPECT_EQ(Preferences().roundingStep.Raw(), 1);
  EXPECT_FALSE(SaveDisplaySettings());
}

TEST_F(PreferencesFile, TextFieldsAreCutToTheirSize) {
  UserPreferences p;
  SetPreferenceText(p.decimalSeparator, "abcdef");
  EXPECT_EQ(PreferenceText(p.decimalSeparator), "abc");
  UserPreferences::Bytes b = p.ToBytes();
  EXPECT_EQ(b[43], 0);
  EXPECT_EQ(b[44], '.');
}

TEST_F(PreferencesFile, PathFollowsTheStartupDirectory) {
  fs::create_directories(dir_ / "settings");
  Vcon::WString savedStartup;
  GetStartupDirectory(savedStartup);
  SetStartupDirectory(Vcon::WString(Vcon::String(dir_.string())));
  InitPreferencesPath();
  Vcon::WString expected = Vcon::WString(Vcon::String(dir_.string())) + u"\\\\settings\\zelvoproprefs.dat";
  EXPECT_EQ(PreferencesFileSpec().path, expected);
  LoadDisplaySettings();
  EXPECT_TRUE(fs::exists(dir_ / "settings" / "zelvoproprefs.dat"));
  SetStartupDirectory(savedStartup);
}

}  // namespace
