// The exchange's question and error dialogs on the server dialog frame, and the error text by code,
// run modally on the headless desktop and answered by scripted clicks and keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServerDialogTestSupport.h"
#include "controls/ppTextField.h"
#include "exchange/ShowServerError.h"
#include "exchange/qxAlertDialog.h"
#include "exchange/qxErrorMessage.h"
#include "exchange/qxStringDataUnit.h"
#include "framework/ppTextButton.h"

namespace {

using extest::Step;

// Number, label and frame of every text button of the content, in the order they were made.
struct ButtonSeen {
  int32_t number;
  std::u16string label;
  plat::RECT frame;
  bool operator==(const ButtonSeen&) const = default;
};

void PrintTo(const ButtonSeen& b, std::ostream* out) {
  *out << b.number << " " << Vcon::WString(b.label).Narrow().c_str() << " (" << b.frame.left << ", "
       << b.frame.top << ", " << b.frame.right << ", " << b.frame.bottom << ")";
}

std::vector<ButtonSeen> Buttons(ppViewDialog& dialog) {
  std::vector<ButtonSeen> seen;
  const ppViewList& views = dialog.ContentView()->Subviews();
  for (int32_t i = 0; i < views.Count(); ++i) {
    if (auto* button = dynamic_cast<ppTextButton*>(views.At(i)))
      seen.push_back({button->AlternatePicture(), button->Text(), button->GetFrame()});
  }
  return seen;
}

std::u16string Title() {
  char16_t buffer[300] = {};
  plat::GetWindowTextW(plat::GetActiveWindow(), buffer, 300);
  return buffer;
}

class ServerMessageDialogs : public extest::ServerDialogTest {};

TEST_F(ServerMessageDialogs, TheQuestionAnswersOneForOkAndTwoForCancelOrEscape) {
  const plat::RECT ok{35, 161, 105, 180}, cancel{115, 161, 185, 180};
  const struct {
    const char* what;
    Step answer;
    int32_t result;
  } cases[] = {{"OK", ClickIn(ok), 1}, {"Cancel", ClickIn(cancel), 2}, {"Escape", Key(plat::VK_ESCAPE), 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qxAlertDialog dialog(window_, u"Replace the file?", 7422);
    EXPECT_EQ(Run(dialog, {c.answer}), c.result);
  }
}

TEST_F(ServerMessageDialogs, TheQuestionIsLaidOutOnTheFrameAndShowsTheCallersText) {
  qxAlertDialog dialog(window_, u"Replace the file?", 7422);
  std::u16string title, text;
  std::vector<ButtonSeen> buttons;
  plat::RECT client{};
  Run(dialog, {[&] {
                 title = Title();
                 text = dialog.TextField()->Text();
                 buttons = Buttons(dialog);
                 plat::GetClientRect(Dialog(), &client);
                 plat::RECT outer, parent;
                 plat::GetWindowRect(Dialog(), &outer);
                 plat::GetWindowRect(parentWindow_, &parent);
                 // Centred over the parent at its final size, not at the template's.
                 EXPECT_NEAR(outer.left + outer.right, parent.left + parent.right, 1);
                 EXPECT_NEAR(outer.top + outer.bottom, parent.top + parent.bottom, 1);
                 EXPECT_EQ(dialog.ContentView()->GetTarget(), static_cast<ppEventHandler*>(&dialog));
               },
               ClickIn({35, 161, 105, 180})});
  EXPECT_EQ(title, u"Dialog") << "the template's caption without text 7420";
  EXPECT_EQ(text, u"Replace the file?");
  EXPECT_EQ(client, (plat::RECT{0, 0, 300, 190}));
  EXPECT_EQ(buttons,
            (std::vector<ButtonSeen>{{1, u"OK", {35, 161, 105, 180}}, {2, u"Cancel", {115, 161, 185, 180}}}));
}

TEST_F(ServerMessageDialogs, TheQuestionTakesItsTextsInTheCurrentLanguage) {
  texts_.texts = {{7420, u"Spørgsmål"}, {7422, u"Erstat filen?"}, {7421, u"Ja"}, {7419, u"Annuller"}};
  SetTextSource(&texts_);
  qxAlertDialog dialog(window_, u"Replace the file?", 7422);
  std::u16string title, text;
  std::vector<ButtonSeen> buttons;
  Run(dialog, {[&] {
                 title = Title();
                 text = dialog.TextField()->Text();
                 buttons = Buttons(dialog);
               },
               Key(plat::VK_ESCAPE)});
  EXPECT_EQ(title, u"Spørgsmål");
  EXPECT_EQ(text, u"Erstat filen?");
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[0].label, u"Ja");
  EXPECT_EQ(buttons[1].label, u"Annuller");
}

TEST_F(ServerMessageDialogs, ALongTextWrapsInsideTheContentInsteadOfRunningPastItsEdge) {
  qxAlertDialog question(window_, u"A file of this name is on the server already. Replace it?", 0);
  qxErrorMessage error(parentWindow_, 7447,
                       u": the document server did not answer in time, try again later.");
  for (ppViewDialog* dialog : {static_cast<ppViewDialog*>(&question), static_cast<ppViewDialog*>(&error)}) {
    plat::RECT text{};
    Run(*dialog, {[&] {
                    ppTextField* field = dialog == &question ? question.TextField() : error.TextField();
                    field->GetWindowFrame(&text);
                  },
                  Key(plat::VK_ESCAPE)});
    EXPECT_LE(text.right, 300) << "the text wraps inside the content";
    EXPECT_GT(text.bottom - text.top, 20) << "the text took a second line";
  }
}

TEST_F(ServerMessageDialogs, TheErrorHasOneButtonAndAnswersOne) {
  qxErrorMessage dialog(parentWindow_, 7447, u": the file is gone");
  std::vector<ButtonSeen> buttons;
  std::u16string title, text;
  const int32_t result = Run(dialog, {[&] {
                                        title = Title();
                                        text = dialog.TextField()->Text();
                                        buttons = Buttons(dialog);
                                      },
                                      ClickIn({220, 161, 290, 180})});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(title, u"Error");
  EXPECT_EQ(text, u"An error occured: the file is gone") << "the English default is kept as it was";
  EXPECT_EQ(buttons, (std::vector<ButtonSeen>{{1, u"OK", {220, 161, 290, 180}}}));
}

TEST_F(ServerMessageDialogs, ClicksBesideTheButtonsAndOnTheTextEndNothing) {
  qxAlertDialog dialog(window_, u"Delete?", 0);
  // Between the buttons, on the text, on the logo band: the dialog stays; then OK.
  EXPECT_EQ(
      Run(dialog, {ClickAt(110, 170), ClickAt(100, 90), ClickAt(150, 30), ClickIn({35, 161, 105, 180})}), 1);
}

TEST_F(ServerMessageDialogs, TheErrorTextByCodeWithoutTextsInTheDatabase) {
  const std::u16string help = u"Please contact HelpDesk with the error code";
  const struct {
    int32_t code;
    std::u16string message;
  } cases[] = {
      {0, u""},
      {-2, u"\n" + help + u" #-2"},                        // 7609 missing: the helpdesk line stands in
      {-3, u"\n" + help + u" #-3"},                        // a blank, "#" and the code
      {500, u"\n" + help + u" #500\n" + help + u" #500"},  // 7698 missing, then the line again
      {311, u"\n" + help + u" #311"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(std::u16string(ServerErrorMessage(c.code)), c.message);
  }
}

TEST_F(ServerMessageDialogs, TheErrorTextByCodeTakesTheDescriptionOfItsCode) {
  texts_.texts = {{7631, u"The file is locked."},
                  {7698, u"Unknown error."},
                  {7699, u"Call us, code"},
                  {7612, u"No connection."}};
  SetTextSource(&texts_);
  EXPECT_EQ(std::u16string(ServerErrorMessage(311)), u"\nThe file is locked.");
  EXPECT_EQ(std::u16string(ServerErrorMessage(-5)), u"\nNo connection.");
  EXPECT_EQ(std::u16string(ServerErrorMessage(312)), u"\nCall us, code #312") << "7632 missing";
  EXPECT_EQ(std::u16string(ServerErrorMessage(4711)), u"\nUnknown error.\nCall us, code #4711");
  const int32_t table[][2] = {{-1, 7608},  {-11, 7618}, {301, 7621}, {303, 7623}, {313, 7633}, {351, 7671},
                              {391, 7691}, {392, 7692}, {0, 7698},   {-12, 7698}, {1, 7698}};
  for (const auto& [code, id] : table) EXPECT_EQ(ServerErrorDescriptionId(code), id) << code;
}

TEST_F(ServerMessageDialogs, ShowServerErrorShowsTheTitleLineAndTheCodesText) {
  texts_.texts = {{7631, u"The file is locked."}, {7450, u"Saving failed"}};
  SetTextSource(&texts_);
  const struct {
    int32_t code;
    std::u16string shown;
  } cases[] = {{0, u"Saving failed"}, {311, u"Saving failed\nThe file is locked."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    std::u16string shown;
    int32_t buttons = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (Dialog() == parentWindow_ || Dialog() == nullptr) return false;
      ppDialog* running = static_cast<ppDialog*>(plat::GetPropA(Dialog(), ppDialog::kProperty));
      auto* error = dynamic_cast<qxErrorMessage*>(running);
      if (error == nullptr) return false;
      shown = error->TextField()->Text();
      buttons = int32_t(Buttons(*error).size());
      ClickIn({220, 161, 290, 180})();
      return true;
    });
    ShowServerError(parentWindow_, 7450, c.code);
    plat::HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(buttons, 1);
  }
}

TEST_F(ServerMessageDialogs, TheQuestionAndTheErrorLookAsKept) {
  {
    qxAlertDialog dialog(window_, u"A file of this name is on the server already. Replace it?", 0);
    Run(dialog, {[] { ExpectLooksAsKept("alert"); }, Key(plat::VK_ESCAPE)});
  }
  qxErrorMessage dialog(parentWindow_, 7447, u"\nThe server did not answer.");
  Run(dialog, {[] { ExpectLooksAsKept("error"); }, ClickIn({220, 161, 290, 180})});
}

}  // namespace

namespace {

// Commands that are not a press of button 1 or 2 leave the dialog open (a step that ended it would
// leave the later steps unrun, which Run reports); then OK ends it.
TEST_F(ServerMessageDialogs, OnlyAPressOfButtonOneOrTwoEndsTheDialog) {
  qxAlertDialog dialog(window_, u"Delete?", 0);
  auto send = [&](int32_t command, int32_t number) {
    return [&, command, number] {
      const plat::RECT frame{0, 0, 10, 10};
      auto* button = new ppTextButton(dialog.ContentView(), &frame, number, u"x", 0, 0, 0);
      dialog.DoCommand(command, reinterpret_cast<intptr_t>(button));
    };
  };
  std::vector<Step> steps = {send(5001, 1),
                             send(5000, 3),
                             send(5000, 9),
                             send(5000, 0),
                             [&] { dialog.DoCommand(5000, 0); },
                             ClickIn({35, 161, 105, 180})};
  EXPECT_EQ(Run(dialog, steps), 1);
}

TEST(StringDataUnit, WritesAValuesTextAndReadsTheStringAsWideText) {
  Vcon::WString target(u"old");
  qxStringDataUnit unit(&target);
  const struct {
    ppParameter value;
    std::u16string text;
  } cases[] = {{ppParameter(u"Køkken"), u"Køkken"},
               {ppParameter("plain"), u"plain"},
               {ppParameter(42), u"42"},
               {ppParameter(u""), u""}};
  for (const auto& c : cases) {
    unit.SetValue(c.value, true);
    EXPECT_EQ(std::u16string(target), c.text);
    ppParameter out;
    unit.GetValue(out);
    EXPECT_EQ(out.Type(), ppParameter::kWideText);
    EXPECT_EQ(std::u16string(out.AsWString()), c.text);
  }
  qxStringDataUnit nowhere(nullptr);
  nowhere.SetValue(ppParameter(u"x"), true);
  ppParameter untouched(7);
  nowhere.GetValue(untouched);
  EXPECT_EQ(untouched.ToLong(), 7);
}

}  // namespace
