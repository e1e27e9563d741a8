// The print-setup dialogs and the warning question, run modally and answered from the idle script
// one key per step: which choice they open with, what OK and Cancel leave in the caller's variables,
// the answers of the warning question, and their texts by number in the current language.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/zelvproInchScaleDialog.h"
#include "controls/zelvproMetricScaleDialog.h"
#include "controls/zelvproWarningDialog.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "platform/Controls.h"

namespace {

using plat::HeadlessDriver;
using plat::IDCANCEL;
using plat::IDOK;
using Dialog = zelvproMetricScaleDialog;

// The texts of the current language, by number.
struct Texts : iTextSource {
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    auto found = byId.find(number);
    if (found == byId.end()) return false;
    text = found->second;
    return true;
  }
  std::map<int32_t, std::u16string> byId;
};

class DialogSteps : public ctltest::WindowTest {
 protected:
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    SetTextSource(nullptr);
    WindowTest::TearDown();
  }
  // Runs `dialog` modally; each time the dialog waits, the next step runs.
  int32_t Run(ppDialog& dialog, std::vector<std::function<void()>> steps) {
    dialog_ = &dialog;
    size_t next = 0;
    HeadlessDriver::SetIdleScript([&] {
      if (next >= steps.size()) return false;
      steps[next++]();
      return true;
    });
    const int32_t result = dialog.RunModal();
    HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(next, steps.size()) << "the dialog ended before its last step";
    return result;
  }
  // One key on item `id` (Space clicks a button or radio).
  std::function<void()> Space(int32_t id) {
    return [this, id] {
      plat::SetFocus(dialog_->GetItem(id, ppDialog::kSelf));
      plat::Desktop::Key(plat::VK_SPACE, true);
      plat::Desktop::Key(plat::VK_SPACE, false);
    };
  }
  std::function<void()> Key(int32_t key) {
    return [key] {
      plat::Desktop::Key(key, true);
      plat::Desktop::Key(key, false);
    };
  }
  std::function<void()> Checked(std::map<int32_t, bool>& seen, std::vector<int32_t> items) {
    return [this, &seen, items] {
      for (int32_t id : items) seen[id] = dialog_->IsItemChecked(id, ppDialog::kSelf);
    };
  }
  std::u16string ItemText(int32_t id) {
    Vcon::WString text;
    dialog_->GetItemText(text, id, ppDialog::kSelf);
    return std::u16string(text);
  }
  std::u16string Title() {
    Vcon::WString text;
    dialog_->GetTitle(text, 256);
    return std::u16string(text);
  }

  ppDialog* dialog_ = nullptr;
};

TEST_F(DialogSteps, AnUnknownMetricScaleOpensWithFitToPaperAndPrintWindow) {
  struct Case {
    int32_t stored;
    int32_t checked;
  } cases[] = {
      {100, Dialog::kFitToPaper}, {0, Dialog::kFitToPaper}, {20, Dialog::kOneTo20}, {50, Dialog::kOneTo50}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    int32_t scale = c.stored, full = 7;
    Dialog dialog(hwnd_, &scale, &full);
    EXPECT_EQ(full, 0) << "cleared when the dialog is made";
    std::map<int32_t, bool> seen;
    const std::vector<int32_t> items = {Dialog::kFitToPaper, Dialog::kOneTo20, Dialog::kOneTo50,
                                        Dialog::kPrintWindow, Dialog::kFullReport};
    EXPECT_EQ(Run(dialog, {Checked(seen, items), Key(plat::VK_ESCAPE)}), ppDialog::kCancelled);
    for (int32_t id : items) EXPECT_EQ(seen[id], id == c.checked || id == Dialog::kPrintWindow) << id;
    EXPECT_EQ(scale, c.stored) << "Cancel leaves the scale";
  }
}

TEST_F(DialogSteps, FullReportAndOkGiveFitToPaperAndFlagOneCancelLeavesFlagZero) {
  int32_t scale = 50, full = 0;
  Dialog ok(hwnd_, &scale, &full);
  bool enabled = true;
  EXPECT_EQ(Run(ok, {Space(Dialog::kFullReport),
                     [&] { enabled = plat::IsWindowEnabled(ok.GetItem(Dialog::kOneTo50, ppDialog::kSelf)); },
                     Space(IDOK)}),
            ppDialog::kConfirmed);
  EXPECT_FALSE(enabled) << "the scale radios are disabled for the full report";
  EXPECT_EQ(scale, 0);
  EXPECT_EQ(full, 1);

  scale = 20, full = 5;
  Dialog cancel(hwnd_, &scale, &full);
  EXPECT_EQ(Run(cancel, {Space(Dialog::kFullReport), Space(IDCANCEL)}), ppDialog::kCancelled);
  EXPECT_EQ(full, 0);
  EXPECT_EQ(scale, 20);

  Dialog window(hwnd_, &scale, &full);
  EXPECT_EQ(Run(window, {Space(Dialog::kOneTo50), Space(IDOK)}), ppDialog::kConfirmed);
  EXPECT_EQ(scale, 50);
  EXPECT_EQ(full, 0);
}

TEST_F(DialogSteps, TheInchDialogChecksTheQuarterInchScaleFor48) {
  int32_t scale = 48, full = 0;
  zelvproInchScaleDialog dialog(hwnd_, &scale, &full);
  std::map<int32_t, bool> seen;
  std::u16string quarter;
  EXPECT_EQ(Run(dialog, {Checked(seen, {zelvproInchScaleDialog::kQuarterInch, Dialog::kFitToPaper}),
                         [&] { quarter = ItemText(zelvproInchScaleDialog::kQuarterInch); },
                         Space(Dialog::kFitToPaper), Space(IDOK)}),
            ppDialog::kConfirmed);
  EXPECT_TRUE(seen[zelvproInchScaleDialog::kQuarterInch]);
  EXPECT_FALSE(seen[Dialog::kFitToPaper]);
  EXPECT_EQ(quarter, u"1/4\" Scale");
  EXPECT_EQ(scale, 0);
}

TEST_F(DialogSteps, BothPrintSetupsTakeTheirCaptionFromTheSameText) {
  Texts texts;
  texts.byId = {{6192, u"Udskriftsopsætning"}, {6187, u"Skala"}, {6249, u"Udskriv vindue"}};
  SetTextSource(&texts);
  int32_t scale = 0, full = 0;
  std::u16string metricTitle, inchTitle, group, window;
  Dialog metric(hwnd_, &scale, &full);
  Run(metric, {[&] { metricTitle = Title(), group = ItemText(Dialog::kScaleGroup); },
               [&] { window = ItemText(Dialog::kPrintWindow); }, Key(plat::VK_ESCAPE)});
  zelvproInchScaleDialog inch(hwnd_, &scale, &full);
  Run(inch, {[&] { inchTitle = Title(); }, Key(plat::VK_ESCAPE)});
  EXPECT_EQ(metricTitle, u"Udskriftsopsætning");
  EXPECT_EQ(inchTitle, u"Udskriftsopsætning");
  EXPECT_EQ(group, u"Skala");
  EXPECT_EQ(window, u"Udskriv vindue");
}

TEST_F(DialogSteps, TheWarningAnswersYesNoAndCancel) {
  struct Case {
    const char* what;
    std::function<void()> answer;
    int32_t result;
  } cases[] = {
      {"Yes", Space(zelvproWarningDialog::kYes), 6},
      {"No", Space(zelvproWarningDialog::kNo), 7},
      {"Cancel", Space(IDCANCEL), 2},
      {"Escape", Key(plat::VK_ESCAPE), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zelvproWarningDialog dialog(hwnd_, 5050, 5049, 1001, 1002, 1003);
    EXPECT_EQ(Run(dialog, {c.answer}), c.result);
  }
}

TEST_F(DialogSteps, TheWarningShowsTheTextsOfItsNumbersOrTheTemplates) {
  Texts texts;
  texts.byId = {
      {5050, u"Unsaved changes"}, {5049, u"Save the room?"}, {1001, u"Annuller"}, {1003, u"Gem ikke"}};
  SetTextSource(&texts);
  std::map<int32_t, std::u16string> shown;
  std::u16string caption;
  zelvproWarningDialog dialog(hwnd_, 5050, 5049, 1001, 1002, 1003);
  Run(dialog, {[&] {
                 caption = Title();
                 for (int32_t id : {zelvproWarningDialog::kMessageItem, 2, 6, 7}) shown[id] = ItemText(id);
               },
               Key(plat::VK_ESCAPE)});
  EXPECT_EQ(caption, u"Unsaved changes");
  EXPECT_EQ(shown[zelvproWarningDialog::kMessageItem], u"Save the room?");
  EXPECT_EQ(shown[2], u"Annuller");
  EXPECT_EQ(shown[6], u"Yes") << "1002 has no text: the template's stays";
  EXPECT_EQ(shown[7], u"Gem ikke");

  texts.byId.clear();
  zelvproWarningDialog plain(hwnd_, 5050, 5049, 1001, 1002, 1003);
  Run(plain, {[&] { caption = Title(), shown[1013] = ItemText(zelvproWarningDialog::kMessageItem); },
              Key(plat::VK_ESCAPE)});
  EXPECT_EQ(caption, u"Warning !");
  EXPECT_EQ(shown[1013], u"No message!");
}

}  // namespace
