#include "app/dialogs/zelvproPrefsDialog.h"

#include <atomic>
#include <initializer_list>
#include <utility>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/PriceRounding.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ppApplication.h"
#include "framework/ppEventHandler.h"
#include "platform/ResetList.h"

namespace {

constexpr int32_t kSelf = ppDialog::kSelf;
constexpr int32_t kRoundingList = 135;
constexpr int32_t kRoundingTexts = 10023;
constexpr int32_t kDisplayList = 136;
constexpr int32_t kTitleText = 6213;

// Set by the document window; user-interface thread.
ppEventHandler* gPlanEditor = nullptr;
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("preferences plan editor", [] { gPlanEditor = nullptr; });

// Items of the first currency and the common settings, and of the second currency, whose changes
// are read at once.
bool IsFirstItem(int32_t id) {
  switch (id) {
    case 1028:
    case 1029:
    case 1030:
    case 1031:
    case 1032:
    case 1033:
    case 1034:
    case 1035:
    case 1036:
    case 1037:
    case 1038:
    case 1040:
    case 1042:
    case 1043:
    case 1045:
    case 1071:
      return true;
    default:
      return false;
  }
}
bool IsSecondItem(int32_t id) { return id >= 1048 && id <= 1053; }

// Captions and their text numbers; the second currency's come first in its layout.
constexpr std::pair<int32_t, int32_t> kSecondCaptions[] = {{1053, 6136}, {1052, 6137}, {1050, 6141},
                                                           {1048, 6142}, {1049, 6143}, {1460, 6146}};
constexpr std::pair<int32_t, int32_t> kCaptions[] = {
    {1455, 6214}, {1045, 6215}, {1041, 6135}, {1035, 6136}, {1034, 6137}, {1036, 6138},
    {1029, 6139}, {1028, 6140}, {1031, 6141}, {1030, 6142}, {1037, 6143}, {1454, 6144},
    {1447, 6145}, {1448, 6146}, {1444, 6147}, {1445, 6148}, {1451, 6149}, {1450, 6150},
    {1443, 6151}, {1449, 6152}, {1452, 6153}, {1453, 6154}, {1446, 6155}, {1044, 6156},
    {1457, 6230}, {1046, 6231}, {1456, 6232}, {1458, 6233}, {1, 1000},    {2, 1001}};

// The autosave thread reads these two fields while the dialog may write them.
void StoreShared(uint32_t& field, uint32_t value) {
  std::atomic_ref<uint32_t>(field).store(value, std::memory_order_relaxed);
}

ppMoney SampleAmount() { return ppMoney::FromRaw(int64_t(123456) * ppMoney::kScale / 100); }

}  // namespace

void zelvproPrefsDialog::SetPlanEditor(ppEventHandler* editor) { gPlanEditor = editor; }

zelvproPrefsDialog::zelvproPrefsDialog(plat::HWND owner, int32_t templateId, ppDatafile* languages)
    : ppDialog(templateId, owner), languages_(languages) {}

Vcon::String zelvproPrefsDialog::ItemNarrow(int32_t id) {
  Vcon::WString text;
  GetItemText(text, id, kSelf);
  return text.Narrow();
}

void zelvproPrefsDialog::OnInitDialog() {
  LoadDisplaySettings();
  UserPreferences& p = Preferences();
  CheckItem(p.unitSystem == kUnitMillimetres ? 1028 : p.unitSystem == kUnitCentimetres ? 1045 : 1029, kSelf);
  if (p.moneyDecimals) CheckItem(1030, kSelf);
  if (p.moneyGrouping) CheckItem(1037, kSelf);
  if (p.currencyShown) CheckItem(1031, kSelf);
  CheckItem(p.currencyBefore ? 1034 : 1035, kSelf);
  // In the two-currency layout 1048 is the second currency's "Show Decimals".
  if (!TwoCurrencies() && p.roundEachFactor) CheckItem(1048, kSelf);
  if (TwoCurrencies()) {
    if (p.money2Decimals) CheckItem(1048, kSelf);
    if (p.money2Grouping) CheckItem(1049, kSelf);
    if (p.money2CurrencyShown) CheckItem(1050, kSelf);
    CheckItem(p.money2CurrencyBefore ? 1052 : 1053, kSelf);
  }
  if (p.useFactors) CheckItem(1036, kSelf);
  if (p.accelerate)
    CheckItem(1041, kSelf);
  else
    DisableItem(1044, kSelf);
  if (p.zBufferPick) CheckItem(1044, kSelf);
  SetItemText(WideFromString(PreferenceText(p.decimalSeparator)), 1033, kSelf);
  SetItemText(WideFromString(PreferenceText(p.thousandsSeparator)), 1038, kSelf);
  SetItemText(WideFromString(PreferenceText(p.currencyText)), 1032, kSelf);
  if (TwoCurrencies()) SetItemText(WideFromString(PreferenceText(p.money2CurrencyText)), 1051, kSelf);
  const DecimalFormat plain;
  SetItemText(p.roundingStep.ToString(&plain), 1042, kSelf);

  for (int32_t i = 0; i < 7; ++i) {
    Vcon::WString text;
    GetStringArrayText(text, kRoundingList, i + 1);
    GetTextById(kRoundingTexts + i, text);
    AddComboString(1071, text, kSelf);
  }
  if (!TwoCurrencies()) {
    FillComboFromStrings(1073, kDisplayList, 3, kSelf);
    SetComboSelection(int32_t(p.displayConfiguration), 1073, kSelf);
  }
  SetComboSelection(int32_t(p.roundingMode), 1071, kSelf);
  FillLanguageList();

  SetItemFloat(p.exchangeFactor, 6, 1040, kSelf);
  SetItemFloat(p.profitFactor, 6, 1043, kSelf);
  if (p.autosaveEnabled)
    CheckItem(1046, kSelf);
  else
    UncheckItem(1046, kSelf);
  SetItemInt(int32_t(p.autosaveMinutes), 1047, kSelf);
  SetItemReadOnly(1047, !IsItemChecked(1046, kSelf), kSelf);

  itemsReady_ = true;
  ShowSample();
  ReadItems();
  if (TwoCurrencies()) {
    secondItemsReady_ = true;
    ShowSecondSample();
    ReadSecondItems();
  }
}

void zelvproPrefsDialog::FillLanguageList() {
  if (languages_ == nullptr) return;
  languages_->SelectAll();
  const int32_t count = languages_->GetSelectedCount();
  const RecordField code(*languages_, "langCode"), shortName(*languages_, "langShortName"),
      longName(*languages_, "langLongName"), country(*languages_, "langCountryCode");
  int32_t selected = -1;
  for (int32_t i = 0; i < count; ++i) {
    languages_->ReadRecordAt(i, nullptr);
    const char* record = languages_->GetRecordBuffer();
    const int32_t language = code.Long(record);
    // Code, short name, long name and country joined by blanks.
    Vcon::String text(std::to_string(language).c_str());
    for (const RecordField* field : {&shortName, &longName, &country}) {
      text += " ";
      text += field->Text(record);
    }
    AddComboString(1072, WideFromString(text), kSelf);
    if (uint32_t(language) == CurrentLanguageCode()) selected = i;
  }
  if (selected >= 0) SetComboSelection(selected, 1072, kSelf);
}

void zelvproPrefsDialog::AfterInitDialog() {
  Vcon::WString title;
  GetTitle(title, 256);
  GetTextById(kTitleText, title);
  SetTitle(title);
  auto translate = [&](int32_t id, int32_t number) {
    Vcon::WString text;
    GetItemText(text, id, kSelf);
    GetTextById(number, text);
    SetItemText(text, id, kSelf);
  };
  if (TwoCurrencies())
    for (auto [id, number] : kSecondCaptions) translate(id, number);
  for (auto [id, number] : kCaptions) translate(id, number);
}

void zelvproPrefsDialog::ReadUnitSystem(UserPreferences& p) {
  if (IsItemChecked(1028, kSelf))
    p.unitSystem = kUnitMillimetres;
  else if (IsItemChecked(1045, kSelf))
    p.unitSystem = kUnitCentimetres;
  else if (IsItemChecked(1029, kSelf))
    p.unitSystem = kUnitImperial;
}

void zelvproPrefsDialog::ReadItems() {
  UserPreferences& p = Preferences();
  ReadUnitSystem(p);
  p.moneyDecimals = IsItemChecked(1030, kSelf);
  p.moneyGrouping = IsItemChecked(1037, kSelf);
  p.currencyShown = IsItemChecked(1031, kSelf);
  p.currencyBefore = IsItemChecked(1034, kSelf);
  p.useFactors = IsItemChecked(1036, kSelf);
  p.accelerate = IsItemChecked(1041, kSelf);
  p.zBufferPick = IsItemChecked(1044, kSelf);
  // The two-currency layout has no "Round each factor" box and no display list: both settings
  // stay as they are there.
  if (!TwoCurrencies()) p.roundEachFactor = IsItemChecked(1048, kSelf);
  SetPreferenceText(p.decimalSeparator, ItemNarrow(1033).substr(0, 1));
  SetPreferenceText(p.thousandsSeparator, ItemNarrow(1038).substr(0, 1));
  SetPreferenceText(p.currencyText, ItemNarrow(1032));
  const DecimalFormat plain;
  p.roundingStep = ppMoney::FromText(ItemNarrow(1042).substr(0, 255), &plain);
  const int32_t rounding = GetComboSelection(1071, kSelf);
  if (rounding >= 0) p.roundingMode = uint32_t(rounding);
  if (!TwoCurrencies()) {
    const int32_t display = GetComboSelection(1073, kSelf);
    if (display >= 0) p.displayConfiguration = uint32_t(display);
  }
  GetItemFloat(p.exchangeFactor, 1040, kSelf);
  GetItemFloat(p.profitFactor, 1043, kSelf);

  const bool factors = p.useFactors != 0;
  for (int32_t id : {1042, 1040, 1043}) SetItemReadOnly(id, !factors, kSelf);
  factors ? EnableItem(1071, kSelf) : DisableItem(1071, kSelf);
  const bool symbol = p.currencyShown != 0;
  SetItemReadOnly(1032, !symbol, kSelf);
  for (int32_t id : {1034, 1035}) symbol ? EnableItem(id, kSelf) : DisableItem(id, kSelf);

  ReadLanguage();
  StoreShared(p.autosaveEnabled, IsItemChecked(1046, kSelf) ? 1 : 0);
  int32_t minutes = 0;
  GetItemInt(minutes, 1047, kSelf);
  StoreShared(p.autosaveMinutes, uint32_t(minutes < 1 ? 1 : minutes));
  // The language takes effect at once, with the number formats.
  ApplyDerivedSettings();
}

void zelvproPrefsDialog::ReadLanguage() {
  const int32_t index = GetComboSelection(1072, kSelf);
  if (index < 0 || languages_ == nullptr) return;
  languages_->SelectAll();
  if (index >= languages_->GetSelectedCount()) return;
  languages_->ReadRecordAt(index, nullptr);
  Preferences().languageCode =
      uint32_t(RecordField(*languages_, "langCode").Long(languages_->GetRecordBuffer()));
}

void zelvproPrefsDialog::ReadSecondItems() {
  UserPreferences& p = Preferences();
  ReadUnitSystem(p);
  p.money2Decimals = IsItemChecked(1048, kSelf);
  p.money2Grouping = IsItemChecked(1049, kSelf);
  p.money2CurrencyShown = IsItemChecked(1050, kSelf);
  p.money2CurrencyBefore = IsItemChecked(1052, kSelf);
  SetPreferenceText(p.decimalSeparator, ItemNarrow(1033).substr(0, 1));
  SetPreferenceText(p.thousandsSeparator, ItemNarrow(1038).substr(0, 1));
  Vcon::String symbol = ItemNarrow(1051);
  SetPreferenceText(p.money2CurrencyText, symbol.substr(0, 15));
  const int32_t rounding = GetComboSelection(1071, kSelf);
  if (rounding >= 0) p.roundingMode = uint32_t(rounding);
  GetItemFloat(p.exchangeFactor, 1040, kSelf);
  GetItemFloat(p.profitFactor, 1043, kSelf);
  const bool shown = p.money2CurrencyShown != 0;
  SetItemReadOnly(1051, !shown, kSelf);
  for (int32_t id : {1052, 1053}) shown ? EnableItem(id, kSelf) : DisableItem(id, kSelf);
}

void zelvproPrefsDialog::ShowSample() {
  const UserPreferences& p = Preferences();
  sampleFormat_.affix = PreferenceText(p.currencyText);
  sampleFormat_.decimalPoint = PreferenceText(p.decimalSeparator);
  sampleFormat_.thousandsSeparator = PreferenceText(p.thousandsSeparator);
  sampleFormat_.affixOn = p.currencyShown != 0;
  sampleFormat_.decimalsOn = p.moneyDecimals != 0;
  sampleFormat_.grouping = p.moneyGrouping != 0;
  sampleFormat_.affixBefore = p.currencyBefore != 0;
  ppMoney amount = SampleAmount();
  ApplyPriceFactorAndRounding(amount, true);  // the exchange step, as prices get it
  SetItemText(amount.ToString(&sampleFormat_), 1039, kSelf);
}

void zelvproPrefsDialog::ShowSecondSample() {
  const UserPreferences& p = Preferences();
  secondSampleFormat_.affix = PreferenceText(p.money2CurrencyText);
  secondSampleFormat_.decimalPoint = PreferenceText(p.decimalSeparator);
  secondSampleFormat_.thousandsSeparator = PreferenceText(p.thousandsSeparator);
  secondSampleFormat_.affixOn = p.money2CurrencyShown != 0;
  secondSampleFormat_.decimalsOn = p.money2Decimals != 0;
  secondSampleFormat_.grouping = p.money2Grouping != 0;
  secondSampleFormat_.affixBefore = p.money2CurrencyBefore != 0;
  ppMoney amount = SampleAmount();
  ApplyPriceFactorAndRounding(amount, true);
  SetItemText(amount.ToString(&secondSampleFormat_), 1054, kSelf);
}

void zelvproPrefsDialog::Command(int32_t id, int32_t) {
  if (id == 1041) {
    IsItemChecked(1041, kSelf) ? EnableItem(1044, kSelf) : DisableItem(1044, kSelf);
  } else if (id == 1046) {
    SetItemReadOnly(1047, !IsItemChecked(1046, kSelf), kSelf);
  }
  if (IsFirstItem(id) && itemsReady_) {
    ReadItems();
    ShowSample();
  }
  if (IsSecondItem(id) && TwoCurrencies() && secondItemsReady_) {
    ReadSecondItems();
    ShowSecondSample();
  }
}

bool zelvproPrefsDialog::ValidateOK() {
  ReadItems();
  SaveDisplaySettings();
  if (gApplication != nullptr) gApplication->UpdateTexts();
  if (iElementHost::Current().CurrentViewId() == kCalculationView)
    iCalculationUpdate::Current().UpdateCalculation(false);
  else if (gPlanEditor != nullptr)
    gPlanEditor->DoCommand(kRulerCommand, 0);
  return true;
}

void zelvproPrefsDialog::Cancel() { LoadDisplaySettings(); }
