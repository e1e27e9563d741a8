// The login dialog of the document server run modally on the headless desktop: clicks into its
// fields, typing, its three buttons, Escape, the length limits and the password mode, the register
// link through the desktop's shell log, and the kept picture.
#include <gtest/gtest.h>

#include <string>

#include "ServerDialogTestSupport.h"
#include "controls/ppEditTextField.h"
#include "exchange/qxServerLoginDialog.h"
#include "framework/ppTextButton.h"
#include "platform/Edit.h"

namespace {

using extest::Step;

constexpr plat::RECT kLogIn{420, 144, 490, 163}, kCancel{420, 170, 490, 189}, kRegister{159, 170, 229, 189};

class ServerLoginDialog : public extest::ServerDialogTest {
 protected:
  qxServerLoginDialog& Make(const char16_t* name, const char16_t* password) {
    name_ = name;
    password_ = password;
    dialog_ = std::make_unique<qxServerLoginDialog>(window_, &name_, &password_, u"https://example.com/join");
    return *dialog_;
  }
  // A click into the value area of `field` of the running dialog.
  static void ClickInto(ppEditTextField* field) {
    plat::RECT frame;
    field->GetWindowFrame(&frame);
    ClickAt(frame.right - 10, frame.top + 5)();
  }
  Step IntoName() {
    return [this] { ClickInto(dialog_->UserNameField()); };
  }
  Step IntoPassword() {
    return [this] { ClickInto(dialog_->PasswordField()); };
  }

  Vcon::WString name_, password_;
  std::unique_ptr<qxServerLoginDialog> dialog_;
};

TEST_F(ServerLoginDialog, IsLaidOutWithItsThreeButtonsAndTheFocusOnTheSelectedName) {
  qxServerLoginDialog& dialog = Make(u"anna", u"secret");
  plat::RECT client{};
  std::u16string title;
  std::vector<std::tuple<int32_t, std::u16string, plat::RECT>> buttons;
  bool nameFocused = false, controlsShown = false;
  plat::EditState selection;
  Run(dialog, {[&] {
                 plat::GetClientRect(Dialog(), &client);
                 char16_t buffer[100] = {};
                 plat::GetWindowTextW(Dialog(), buffer, 100);
                 title = buffer;
                 const ppViewList& views = dialog.ContentView()->Subviews();
                 for (int32_t i = 0; i < views.Count(); ++i) {
                   if (auto* b = dynamic_cast<ppTextButton*>(views.At(i)))
                     buttons.emplace_back(b->AlternatePicture(), b->Text(), b->GetFrame());
                 }
                 nameFocused = plat::GetFocus() == dialog.UserNameField()->EditControl();
                 controlsShown = plat::IsWindowVisible(dialog.UserNameField()->EditControl()) &&
                                 plat::IsWindowVisible(dialog.PasswordField()->EditControl());
                 selection = *plat::Edit::StateOf(dialog.UserNameField()->EditControl());
               },
               ClickIn(kCancel)});
  EXPECT_EQ(client, (plat::RECT{0, 0, 500, 200}));
  EXPECT_EQ(title, u"Log in to Server");
  using B = std::tuple<int32_t, std::u16string, plat::RECT>;
  EXPECT_EQ(buttons, (std::vector<B>{B{1, u"Log in", kLogIn}, B{2, u"Cancel", kCancel},
                                     B{3, u"Register", kRegister}}));
  EXPECT_TRUE(nameFocused);
  EXPECT_TRUE(controlsShown) << "fields built before the dialog was on screen show with it";
  EXPECT_EQ(std::min(selection.anchor, selection.caret), 0);
  EXPECT_EQ(std::max(selection.anchor, selection.caret), 4) << "the whole name is selected";
}

TEST_F(ServerLoginDialog, APasswordTypedAndLogInPressedInTheFieldReachesTheCaller) {
  qxServerLoginDialog& dialog = Make(u"anna", u"old");
  // Typing over the selected name replaces it; the password is typed and "Log in" pressed at once.
  EXPECT_EQ(Run(dialog, {Type("bo"), IntoPassword(), Type("new1"), ClickIn(kLogIn)}), 1);
  EXPECT_EQ(name_, u"bo");
  EXPECT_EQ(password_, u"new1");
}

TEST_F(ServerLoginDialog, LogInCommitsTheFocusedFieldEvenWhenTheCaretNeverLeftIt) {
  qxServerLoginDialog& dialog = Make(u"anna", u"old");
  // The press arrives while the caret is still in the password field (no click moved the focus).
  Step pressLogIn = [&] {
    const ppViewList& views = dialog.ContentView()->Subviews();
    for (int32_t i = 0; i < views.Count(); ++i) {
      auto* button = dynamic_cast<ppTextButton*>(views.At(i));
      if (button != nullptr && button->AlternatePicture() == qxServerDialog::kAccept) {
        ASSERT_EQ(plat::GetFocus(), dialog.PasswordField()->EditControl());
        dialog.DoCommand(qxServerDialog::kButtonPressed, reinterpret_cast<intptr_t>(button));
        return;
      }
    }
  };
  EXPECT_EQ(Run(dialog, {IntoPassword(), Type("typed"), pressLogIn}), 1);
  EXPECT_EQ(password_, u"typed");
}

// Tab moves from the name to the password and Shift+Tab back, as in every panel: each field it
// reaches has the keyboard focus with its text selected, so what is typed there replaces it, and the
// texts typed read back after "Log in".
TEST_F(ServerLoginDialog, TabAndShiftTabMoveBetweenTheNameAndThePassword) {
  qxServerLoginDialog& dialog = Make(u"anna", u"old");
  plat::HWND afterTab = nullptr, afterShiftTab = nullptr, name = nullptr, password = nullptr;
  const Step shiftTab = [] {
    plat::Desktop::Key(plat::VK_SHIFT, true);
    Key(plat::VK_TAB)();
    plat::Desktop::Key(plat::VK_SHIFT, false);
  };
  EXPECT_EQ(Run(dialog, {Type("bo"), Key(plat::VK_TAB),
                         [&] {
                           afterTab = plat::GetFocus();
                           name = dialog.UserNameField()->EditControl();
                           password = dialog.PasswordField()->EditControl();
                         },
                         Type("pw1"), shiftTab, [&] { afterShiftTab = plat::GetFocus(); }, Type("cy"),
                         Key(plat::VK_TAB), Type("pw2"), ClickIn(kLogIn)}),
            1);
  EXPECT_EQ(afterTab, password) << "Tab did not reach the password";
  EXPECT_EQ(afterShiftTab, name) << "Shift+Tab did not go back to the name";
  EXPECT_EQ(name_, u"cy");
  EXPECT_EQ(password_, u"pw2");
}

TEST_F(ServerLoginDialog, CancelAndEscapeGiveTwoAndLeaveTheCallersStrings) {
  for (const Step& close : {ClickIn(kCancel), Key(plat::VK_ESCAPE)}) {
    qxServerLoginDialog& dialog = Make(u"anna", u"secret");
    EXPECT_EQ(Run(dialog, {Type("xy"), IntoPassword(), Type("zz"), close}), 2);
    EXPECT_EQ(name_, u"anna");
    EXPECT_EQ(password_, u"secret");
  }
}

TEST_F(ServerLoginDialog, ShownAgainTheFieldsHoldWhatWasEnteredLast) {
  qxServerLoginDialog& dialog = Make(u"", u"");
  ASSERT_EQ(Run(dialog, {Type("carl"), IntoPassword(), Type("pw"), ClickIn(kLogIn)}), 1);
  std::u16string shownName, shownPassword;
  EXPECT_EQ(Run(dialog, {[&] {
                           shownName = dialog.UserNameField()->GetControlText();
                           shownPassword = dialog.PasswordField()->GetControlText();
                         },
                         ClickIn(kLogIn)}),
            1);
  EXPECT_EQ(shownName, u"carl");
  EXPECT_EQ(shownPassword, u"pw");
  EXPECT_EQ(name_, u"carl");
}

TEST_F(ServerLoginDialog, RegisterOpensTheLinkAndTheDialogStaysWithWhatWasTyped) {
  const struct {
    const char* what;
    std::map<int32_t, std::u16string> texts;
    std::u16string link;
  } cases[] = {{"the record's web site", {}, u"https://example.com/join"},
               {"text 7500", {{7500, u"https://example.dk/tilmeld"}}, u"https://example.dk/tilmeld"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    texts_.texts = c.texts;
    SetTextSource(&texts_);
    plat::ClearShellExecuteLog();
    qxServerLoginDialog& dialog = Make(u"", u"");
    std::u16string nameAfter, passwordAfter;
    EXPECT_EQ(Run(dialog, {Type("dora"), IntoPassword(), Type("pw"), ClickIn(kRegister),
                           [&] {
                             nameAfter = dialog.UserNameField()->GetControlText();
                             passwordAfter = dialog.PasswordField()->GetControlText();
                           },
                           ClickIn(kCancel)}),
              2);
    const std::vector<plat::ShellExecuteRecord> log = plat::ShellExecuteLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].verb, u"open");
    EXPECT_EQ(log[0].file, c.link);
    EXPECT_EQ(nameAfter, u"dora");
    EXPECT_EQ(passwordAfter, u"pw");
    EXPECT_EQ(name_, u"") << "Register writes nothing to the caller";
  }
}

TEST_F(ServerLoginDialog, TheNameTakesOneHundredCharactersThePasswordThirtyShownAsStars) {
  qxServerLoginDialog& dialog = Make(u"", u"");
  char16_t shownAs = 0;
  EXPECT_EQ(Run(dialog,
                {Type(std::string(101, 'n')), IntoPassword(), Type(std::string(31, 'p')),
                 [&] { shownAs = plat::Edit::StateOf(dialog.PasswordField()->EditControl())->passwordChar; },
                 ClickIn(kLogIn)}),
            1);
  EXPECT_EQ(name_, std::u16string(100, u'n'));
  EXPECT_EQ(password_, std::u16string(30, u'p'));
  EXPECT_EQ(shownAs, u'*');
}

TEST_F(ServerLoginDialog, LooksAsKept) {
  qxServerLoginDialog& dialog = Make(u"anna", u"secret");
  Run(dialog, {[] {}, [] { ExpectLooksAsKept("login"); }, ClickIn(kCancel)});
}

}  // namespace
