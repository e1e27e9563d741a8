// The user preferences dialog: units, separators, one or two currency formats, price factors and
// rounding, language, autosave and the 3D switches. It edits Preferences() in place while it is
// open, so its sample boxes show a price as the rest of the program would; OK writes the block to
// the preferences file and refreshes what depends on it, Cancel reads the file back.
//
// Templates: kTwoCurrencies (121, with the second currency) or kOneCurrency (1118, with the display
// configuration). Made on the heap for each preferences command, run modally, deleted after.
// User-interface thread only; the autosave thread reads the autosave fields, which the dialog
// writes atomically.
#pragma once

#include <cstdint>

#include "foundation/DecimalFormat.h"
#include "framework/ppDialog.h"

class ppDatafile;
class ppEventHandler;

struct UserPreferences;

class zelvproPrefsDialog : public ppDialog {
 public:
  static constexpr int32_t kTwoCurrencies = 121;
  static constexpr int32_t kOneCurrency = 1118;
  static constexpr int32_t kCalculationView = 2012;
  static constexpr int32_t kRulerCommand = 3059;  // the plan editor's rulers follow the unit system

  // `languages`: the application database's language-code table (layout "qxLanguageCode"), not
  // owned; null leaves the language list empty.
  zelvproPrefsDialog(plat::HWND owner, int32_t templateId, ppDatafile* languages);

  void OnInitDialog() override;
  // Translates the title and the captions.
  void AfterInitDialog() override;
  // Reads every control, saves the file, refreshes the menu texts and the price list or the rulers.
  bool ValidateOK() override;
  // Reads the block back from the file.
  void Cancel() override;
  void Command(int32_t id, int32_t page) override;

  // Controls of the first currency and the common settings into the block, then the formats.
  void ReadItems();
  void ReadSecondItems();
  void ShowSample();
  void ShowSecondSample();

  bool TwoCurrencies() const { return GetTemplateId() == kTwoCurrencies; }

  // The plan editor, which receives the ruler command on OK outside the calculation view; not
  // owned, null when there is none. Set by the document window.
  static void SetPlanEditor(ppEventHandler* editor);

 private:
  void FillLanguageList();
  void ReadLanguage();
  // The checked unit radio button (millimetres, centimetres, inches) into the block; none leaves it.
  void ReadUnitSystem(UserPreferences& p);
  Vcon::String ItemNarrow(int32_t id);

  ppDatafile* languages_;
  bool itemsReady_ = false;
  bool secondItemsReady_ = false;
  DecimalFormat sampleFormat_;
  DecimalFormat secondSampleFormat_;
};
