#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "app/dialogs/zelvproPrefsDialog.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/LocaleNumbers.h"
#include "framework/ppEventHandler.h"
#include "platform/Controls.h"
#include "platform/WindowApi.h"

namespace {

using apptest::AppTest;
using namespace plat;

class ViewHost : public iElementHost {
 public:
  int32_t CurrentViewId() override { return view; }
  int32_t view = kPlanView;
};

class CountingUpdate : public iCalculationUpdate {
 public:
  void UpdateCalculation(bool now) override {
    ++calls;
    lastNow = now;
  }
  int32_t calls = 0;
  bool lastNow = true;
};

class Editor : public ppEventHandler {
 public:
  void DoCommand(int32_t command, intptr_t parameter) override {
    commands.push_back(command);
    parameters.push_back(parameter);
  }
  std::vector<int32_t> commands;
  std::vector<intptr_t> parameters;
};

class PrefsDialog : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    savedFile_ = PreferencesFileSpec();
    path_ = demo_.Root() / "prefs.dat";
    PreferencesFileSpec() = dbtest::SpecFor(path_.string());
    iElementHost::Install(&host_);
    iCalculationUpdate::Install(&update_);
    zelvproPrefsDialog::SetPlanEditor(&editor_);
  }
  void TearDown() override {
    dialog_.reset();
    zelvproPrefsDialog::SetPlanEditor(nullptr);
    iCalculationUpdate::Install(nullptr);
    iElementHost::Install(nullptr);
    PreferencesFileSpec() = savedFile_;
    AppTest::TearDown();
  }

  zelvproPrefsDialog& Open(int32_t templateId = zelvproPrefsDialog::kOneCurrency) {
    dialog_ = std::make_unique<zelvproPrefsDialog>(nullptr, templateId, &applicationDb_->LanguageCodeFile());
    dialog_->CreateModeless();
    EXPECT_NE(dialog_->GetWindow(), nullptr);
    return *dialog_;
  }
  std::u16string Text(int32_t id) {
    Vcon::WString text;
    dialog_->GetItemText(text, id, ppDialog::kSelf);
    return std::u16string(text.c_str());
  }
  void Type(int32_t id, const char16_t* text) {
    dialog_->SetItemText(Vcon::WString(text), id, ppDialog::kSelf);
  }
  void Click(int32_t id) { SendMessageW(dialog_->GetItem(id, ppDialog::kSelf), BM_CLICK, 0, 0); }
  bool Checked(int32_t id) { return dialog_->IsItemChecked(id, ppDialog::kSelf); }
  bool Enabled(int32_t id) { return IsWindowEnabled(dialog_->GetItem(id, ppDialog::kSelf)) != 0; }
  bool ReadOnly(int32_t id) {
    return (GetWindowLongPtrA(dialog_->GetItem(id, ppDialog::kSelf), GWL_STYLE) & ES_READONLY) != 0;
  }
  std::vector<unsigned char> FileBytes() { return dbtest::FileBytes(path_.string()); }

  std::filesystem::path path_;
  ppFileSpec savedFile_;
  ViewHost host_;
  CountingUpdate update_;
  Editor editor_;
  std::unique_ptr<zelvproPrefsDialog> dialog_;
};

TEST_F(PrefsDialog, ANewFileShowsTheDefaultsAndTheSampleFollowsEveryChange) {
  // A new file keeps the defaults' separators whatever the locale: an English one here.
  struct Locale {
    char decimal = LocaleDecimalChar(), thousands = LocaleThousandsChar(), sign = LocaleNegativeSign();
    Locale() { SetLocaleNumberChars('.', ',', '-'); }
    ~Locale() { SetLocaleNumberChars(decimal, thousands, sign); }
  } english;
  Open();
  for (int32_t id : {1028, 1037, 1035, 1041, 1044, 1046}) EXPECT_TRUE(Checked(id)) << id;
  for (int32_t id : {1029, 1045, 1030, 1031, 1034, 1036, 1048}) EXPECT_FALSE(Checked(id)) << id;
  EXPECT_EQ(Text(1033), u",");
  EXPECT_EQ(Text(1038), u".");
  EXPECT_EQ(Text(1040), u"1.000000");
  EXPECT_EQ(Text(1043), u"1.000000");
  EXPECT_EQ(Text(1047), u"1");
  EXPECT_EQ(dialog_->GetComboSelection(1071, ppDialog::kSelf), 0);
  char16_t rounding[64] = {};
  SendMessageW(dialog_->GetItem(1071, ppDialog::kSelf), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(rounding));
  EXPECT_EQ(std::u16string(rounding), u"No Rounding");
  EXPECT_EQ(dialog_->GetComboSelection(1073, ppDialog::kSelf), 0);
  EXPECT_EQ(Text(1039), u"1.235");
  EXPECT_EQ(Text(1), u"OK");

  Click(1030);  // Show Decimals
  EXPECT_EQ(Text(1039), u"1.234,56");
  Click(1031);  // Show Currency Symbol
  Type(1032, u"kr");
  Click(1034);  // before
  EXPECT_EQ(Text(1039), u"kr1.234,56");
  Click(1036);  // Use Factors
  Type(1040, u"2");
  EXPECT_EQ(Text(1039), u"kr2.469,12");
  EXPECT_FLOAT_EQ(Preferences().exchangeFactor, 2.0f);
}

TEST_F(PrefsDialog, SwitchedOffOptionsLockTheirControls) {
  Open();
  for (int32_t id : {1040, 1042, 1043}) EXPECT_TRUE(ReadOnly(id)) << id;
  EXPECT_FALSE(Enabled(1071));
  EXPECT_TRUE(ReadOnly(1032));
  EXPECT_FALSE(Enabled(1034));
  EXPECT_FALSE(Enabled(1035));
  Click(1036);
  Click(1031);
  for (int32_t id : {1040, 1042, 1043, 1032}) EXPECT_FALSE(ReadOnly(id)) << id;
  for (int32_t id : {1071, 1034, 1035}) EXPECT_TRUE(Enabled(id)) << id;
  Click(1041);  // acceleration off greys the z-buffer pick
  EXPECT_FALSE(Enabled(1044));
  Click(1046);  // autosave off makes the minutes read-only
  EXPECT_TRUE(ReadOnly(1047));
}

TEST_F(PrefsDialog, MinutesBelowOneAreStoredAsOne) {
  Open();
  for (const char16_t* typed : {u"0", u"-3", u""}) {
    Type(1047, u"7");
    dialog_->ReadItems();
    EXPECT_EQ(Preferences().autosaveMinutes, 7u);
    Type(1047, typed);
    dialog_->ReadItems();
    EXPECT_EQ(Preferences().autosaveMinutes, 1u) << std::string(Vcon::WString(typed).Narrow().c_str());
  }
}

TEST_F(PrefsDialog, CancelRestoresTheFilesBlockLanguageAndFormats) {
  Open();
  const std::vector<unsigned char> before = FileBytes();
  Click(1031);
  Type(1032, u"EUR");
  Click(1045);
  dialog_->SetComboSelection(1, 1072, ppDialog::kSelf);
  Click(1030);  // any reaction reads the language too
  EXPECT_EQ(CurrentLanguageCode(), 1030u);
  EXPECT_TRUE(MoneyFormat().affixOn);
  SendMessageW(dialog_->GetWindow(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(dialog_->GetResult(), ppDialog::kCancelled);
  const UserPreferences::Bytes restored = Preferences().ToBytes();
  ASSERT_EQ(before.size(), restored.size());
  // Loading derives the round-to amount (192 to 199) when the file holds none; the rest is the file's.
  for (size_t i = 0; i < before.size(); ++i)
    if (i < 192 || i >= 200) EXPECT_EQ(restored[i], before[i]) << "byte " << i;
  EXPECT_EQ(Preferences().roundingStep.Raw(), 1);
  EXPECT_EQ(CurrentLanguageCode(), 0u);
  EXPECT_FALSE(MoneyFormat().affixOn);
  EXPECT_EQ(FileBytes(), before);
}

TEST_F(PrefsDialog, OkWritesTheFileAndUpdatesThePriceListInTheCalculationView) {
  host_.view = zelvproPrefsDialog::kCalculationView;
  Open();
  Click(1029);
  dialog_->SetComboSelection(1, 1072, ppDialog::kSelf);  // chosen without another change
  SendMessageW(dialog_->GetWindow(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(dialog_->GetResult(), ppDialog::kConfirmed);
  EXPECT_EQ(CurrentLanguageCode(), 1030u);
  const std::vector<unsigned char> bytes = FileBytes();
  const UserPreferences::Bytes expected = Preferences().ToBytes();
  EXPECT_EQ(bytes, std::vector<unsigned char>(expected.begin(), expected.end()));
  EXPECT_EQ(Preferences().unitSystem, uint32_t(kUnitImperial));
  EXPECT_EQ(update_.calls, 1);
  EXPECT_FALSE(update_.lastNow);
  EXPECT_TRUE(editor_.commands.empty());
}

TEST_F(PrefsDialog, OkOutsideTheCalculationViewRescalesTheRulers) {
  Open();
  SendMessageW(dialog_->GetWindow(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(update_.calls, 0);
  EXPECT_EQ(editor_.commands, (std::vector<int32_t>{zelvproPrefsDialog::kRulerCommand}));
  EXPECT_EQ(editor_.parameters, (std::vector<intptr_t>{0}));
}

TEST_F(PrefsDialog, CaptionsComeInTheFilesLanguage) {
  Preferences().languageCode = 1030;
  SaveDisplaySettings();
  Open();
  Vcon::WString title;
  dialog_->GetTitle(title, 256);
  EXPECT_EQ(std::u16string(title.c_str()), u"Indstillinger for Vellmora Home Planner");
  EXPECT_EQ(Text(1028), u"Millimeter");
  EXPECT_EQ(Text(1045), u"Centimeter");
  EXPECT_EQ(dialog_->GetComboSelection(1072, ppDialog::kSelf), 1);

  // A language the demo has no texts in: the template's own captions.
  dialog_.reset();
  Preferences().languageCode = 1031;
  SaveDisplaySettings();
  Open();
  EXPECT_EQ(Text(1045), u"Centimeters");
}

TEST_F(PrefsDialog, TheSecondCurrencyHasItsOwnSampleAndKeepsTheOtherSettings) {
  Preferences().roundEachFactor = 1;
  Preferences().displayConfiguration = 2;
  SaveDisplaySettings();
  Open(zelvproPrefsDialog::kTwoCurrencies);
  EXPECT_FALSE(Checked(1048));  // the second currency's decimals, off in the file
  EXPECT_EQ(Text(1054), u"1.235");
  Click(1030);  // a first-currency change reads the common settings, not 1048 as "round each factor"
  EXPECT_EQ(Preferences().roundEachFactor, 1);
  Click(1048);
  Click(1050);
  Type(1051, u"SEK");
  Click(1052);
  EXPECT_EQ(Text(1054), u"SEK1.234,56");
  EXPECT_TRUE(Preferences().money2Decimals);
  SendMessageW(dialog_->GetWindow(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(Preferences().roundEachFactor, 1);
  EXPECT_EQ(Preferences().displayConfiguration, 2u);
}

}  // namespace
