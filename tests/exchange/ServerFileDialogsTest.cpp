// The save and open dialogs of the document server run modally on the headless desktop: their
// layout and grid, clicks on rows, arrow keys, typing, Enter and Escape, "Delete" answered by a
// recording handler of the delete request in place of the document record file's, the file list the
// caller keeps afterwards, and the kept pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServerDialogTestSupport.h"
#include "catalogue/records/ServerDeleteRequest.h"
#include "controls/ppEditTextField.h"
#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "controls/ppTextField.h"
#include "database/iProperty.h"
#include "exchange/ServerFileList.h"
#include "exchange/qxErrorMessage.h"
#include "exchange/qxServerOpenDialog.h"
#include "exchange/qxServerSaveDialog.h"
#include "framework/ppCollaborator.h"
#include "framework/ppTextButton.h"

namespace {

using extest::Step;

constexpr plat::RECT kAccept{420, 344, 490, 363}, kCancel{420, 370, 490, 389}, kDelete{8, 312, 78, 332};

ServerFileList* NewList(const std::vector<std::u16string>& names) {
  auto* list = new ServerFileList;
  for (const std::u16string& name : names) list->push_back({name, u"2026-12-0" + name.substr(0, 1)});
  return list;
}

std::vector<std::u16string> Names(const ServerFileList* list) {
  std::vector<std::u16string> names;
  for (const ServerFileEntry& entry : *list) names.push_back(entry.name);
  return names;
}

// Stands in for the document record file: hears the delete request on the global switchboard and
// answers it as told. An accepted delete replaces the list by one without the name and destroys the
// old one, as the real handler does.
class DeleteHandler : public ppCollaborator {
 public:
  enum Answer { kAccept, kDecline, kRefuse };
  explicit DeleteHandler(Answer answer) : ppCollaborator(nullptr), answer_(answer) {
    Subscribe(qxServerOpenDialog::kDeleteChannel, qxServerOpenDialog::kDeleteMessage);
  }
  void ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t parameter) override {
    auto* request = reinterpret_cast<ServerDeleteRequest*>(parameter);
    heard.push_back({channel, id, request->fileName, request->fileList, request->resultTextId});
    switch (answer_) {
      case kAccept: {
        auto* rest = new ServerFileList;
        for (const ServerFileEntry& entry : *request->fileList) {
          if (entry.name != request->fileName) rest->push_back(entry);
        }
        delete request->fileList;
        request->fileList = rest;
        break;
      }
      case kDecline:
        break;
      case kRefuse:
        request->resultTextId = 7620;
        request->messageSuffix = u" (42)";
        break;
    }
  }
  struct Heard {
    int32_t channel, id;
    std::u16string name;
    ServerFileList* list;
    int32_t resultTextId;
  };
  std::vector<Heard> heard;

 private:
  Answer answer_;
};

class ServerFileDialogs : public extest::ServerDialogTest {
 protected:
  void TearDown() override {
    Forget();
    extest::ServerDialogTest::TearDown();
  }
  // The dialogs made so far and the caller's list they showed.
  void Forget() {
    open_.reset();
    save_.reset();
    delete list_;
    list_ = nullptr;
  }
  qxServerSaveDialog& MakeSave(const char16_t* name, const std::vector<std::u16string>& files) {
    Forget();
    name_ = name;
    list_ = NewList(files);
    save_ = std::make_unique<qxServerSaveDialog>(window_, &name_, list_);
    return *save_;
  }
  qxServerOpenDialog& MakeOpen(const char16_t* name, const std::vector<std::u16string>& files) {
    Forget();
    name_ = name;
    list_ = NewList(files);
    open_ = std::make_unique<qxServerOpenDialog>(window_, &name_, list_);
    return *open_;
  }
  // A click on row `row` of the running dialog's grid.
  static Step ClickRow(qxServerFileDialog& dialog, int32_t row) {
    return [&dialog, row] { ClickIn(dialog.Grid()->Body()->RowRect(row))(); };
  }
  // A click into the name field of the running dialog.
  static Step IntoField(qxServerFileDialog& dialog) {
    return [&dialog] {
      plat::RECT frame;
      dialog.NameField()->GetWindowFrame(&frame);
      ClickAt(frame.right - 10, frame.top + 5)();
    };
  }
  static std::vector<std::tuple<int32_t, std::u16string, plat::RECT>> Buttons(qxServerFileDialog& dialog) {
    std::vector<std::tuple<int32_t, std::u16string, plat::RECT>> buttons;
    const ppViewList& views = dialog.ContentView()->Subviews();
    for (int32_t i = 0; i < views.Count(); ++i) {
      if (auto* b = dynamic_cast<ppTextButton*>(views.At(i)))
        buttons.emplace_back(b->AlternatePicture(), b->Text(), b->GetFrame());
    }
    return buttons;
  }

  // As Run, but an error message that comes up is answered with its button, its text kept in `error`.
  int32_t RunAnsweringErrors(ppDialog& dialog, std::vector<Step> steps, std::u16string& error) {
    size_t next = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      auto* running = static_cast<ppDialog*>(plat::GetPropA(Dialog(), ppDialog::kProperty));
      if (auto* message = dynamic_cast<qxErrorMessage*>(running)) {
        error = message->TextField()->Text();
        ClickIn({220, 161, 290, 180})();
        return true;
      }
      if (next >= steps.size()) return false;
      steps[next++]();
      return true;
    });
    const int32_t result = dialog.RunModal();
    plat::HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(next, steps.size()) << "the dialog ended before its last step";
    return result;
  }

  Vcon::WString name_;
  ServerFileList* list_ = nullptr;  // the caller's
  std::unique_ptr<qxServerSaveDialog> save_;
  std::unique_ptr<qxServerOpenDialog> open_;
};

using B = std::tuple<int32_t, std::u16string, plat::RECT>;

TEST_F(ServerFileDialogs, TheSaveDialogIsLaidOutWithItsGridAndTheCallersName) {
  qxServerSaveDialog& dialog = MakeSave(u"kitchen", {u"a1", u"b2"});
  plat::RECT client{}, list{};
  std::u16string title, shown, headerName, headerDate;
  std::vector<B> buttons;
  std::vector<std::pair<std::string, int32_t>> columns;
  uint32_t style = 0;
  int32_t maxLength = 0, rows = 0;
  bool gridFocused = false;
  Run(dialog,
      {[&] {
         plat::GetClientRect(Dialog(), &client);
         char16_t buffer[100] = {};
         plat::GetWindowTextW(Dialog(), buffer, 100);
         title = buffer;
         buttons = Buttons(dialog);
         list = dialog.Grid()->GetFrame();
         ppGridScroller* body = dialog.Grid()->Body();
         for (const ppGridColumn& c : body->Columns()) columns.emplace_back(c.Name(), c.Width());
         headerName = body->HeaderSource()->GetValue(body->HeaderSource()->IndexOf("FileName")).AsWString();
         headerDate = body->HeaderSource()->GetValue(body->HeaderSource()->IndexOf("Date")).AsWString();
         style = body->Style();
         rows = body->RowCount();
         shown = dialog.NameField()->GetControlText();
         maxLength = dialog.NameField()->MaxLength();
         gridFocused = plat::GetFocus() == Content();
       },
       ClickIn(kCancel)});
  EXPECT_EQ(client, (plat::RECT{0, 0, 500, 400}));
  EXPECT_EQ(title, u"Save to Server");
  EXPECT_EQ(buttons, (std::vector<B>{B{2, u"Cancel", kCancel}, B{1, u"Save", kAccept}}));
  EXPECT_EQ(list, (plat::RECT{10, 65, 487, 300}));
  EXPECT_EQ(columns, (std::vector<std::pair<std::string, int32_t>>{{"FileName", 357}, {"Date", 100}}));
  EXPECT_EQ(headerName, u"File name");
  EXPECT_EQ(headerDate, u"Date");
  EXPECT_EQ(style, ppGridScroller::kWholeRow | ppGridScroller::kRowsFromSource | ppGridScroller::kHeader)
      << "no in-place editor";
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(shown, u"kitchen") << "the save dialog starts with the caller's name, not the first row's";
  EXPECT_EQ(maxLength, 256);
  EXPECT_TRUE(gridFocused);
  EXPECT_EQ(name_, u"kitchen") << "Cancel leaves the caller's name";
}

TEST_F(ServerFileDialogs, TheSaveDialogTakesARowsNameOnAClickButNotFromTheArrowKeys) {
  const struct {
    const char* what;
    std::vector<Step (*)(qxServerFileDialog&)> moves;
    std::u16string name;
    int32_t row;
  } cases[] = {
      {"keys only", {[](qxServerFileDialog&) { return Key(plat::VK_DOWN); }}, u"kitchen", 1},
      {"a click", {[](qxServerFileDialog& d) { return ClickRow(d, 2); }}, u"c3", 2},
      {"a click, then keys",
       {[](qxServerFileDialog& d) { return ClickRow(d, 1); },
        [](qxServerFileDialog&) { return Key(plat::VK_DOWN); },
        [](qxServerFileDialog&) { return Key(plat::VK_DOWN); }},
       u"b2",
       3},
      {"typing, then a click",
       {[](qxServerFileDialog& d) { return IntoField(d); }, [](qxServerFileDialog&) { return Type("zz"); },
        [](qxServerFileDialog& d) { return ClickRow(d, 1); }},
       u"b2",
       1},
      {"a click, then typing",
       {[](qxServerFileDialog& d) { return ClickRow(d, 1); },
        [](qxServerFileDialog& d) { return IntoField(d); },
        [](qxServerFileDialog& d) { return Step([&d] { d.NameField()->SelectAllNoScroll(); }); },
        [](qxServerFileDialog&) { return Type("zz"); }},
       u"zz",
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qxServerSaveDialog& dialog = MakeSave(u"kitchen", {u"a1", u"b2", u"c3", u"d4"});
    std::vector<Step> steps;
    for (auto move : c.moves) steps.push_back(move(dialog));
    std::u16string shown;
    int32_t row = -1;
    steps.push_back([&] {
      shown = dialog.NameField()->GetControlText();
      row = dialog.Grid()->GetSelectedRow();
    });
    steps.push_back(ClickIn(kAccept));
    EXPECT_EQ(Run(dialog, steps), 1);
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(shown, c.name);
    EXPECT_EQ(name_, c.name);
  }
}

TEST_F(ServerFileDialogs, ATypedNameWithSaveReachesTheCallerAndCancelGivesTwo) {
  qxServerSaveDialog& dialog = MakeSave(u"kitchen", {u"a1"});
  const Step intoField = IntoField(dialog);
  Step selectAll = [&] { dialog.NameField()->SelectAllNoScroll(); };
  EXPECT_EQ(Run(dialog, {intoField, selectAll, Type("new2"), ClickIn(kAccept)}), 1);
  EXPECT_EQ(name_, u"new2");
  EXPECT_EQ(Run(dialog, {intoField, selectAll, Type("other"), ClickIn(kCancel)}), 2);
  EXPECT_EQ(name_, u"new2");
  EXPECT_EQ(Run(dialog, {Key(plat::VK_ESCAPE)}), 2);
}

TEST_F(ServerFileDialogs, TheOpenDialogIsLaidOutWithDeleteAndAReadOnlyFieldOnTheFirstName) {
  qxServerOpenDialog& dialog = MakeOpen(u"kitchen", {u"a1", u"b2"});
  std::u16string title, shownFirst, shownAfterTyping;
  std::vector<B> buttons;
  const Step intoField = IntoField(dialog);
  Run(dialog, {[&] {
                 char16_t buffer[100] = {};
                 plat::GetWindowTextW(Dialog(), buffer, 100);
                 title = buffer;
                 buttons = Buttons(dialog);
                 shownFirst = dialog.NameField()->GetControlText();
               },
               intoField, Type("zz"), [&] { shownAfterTyping = dialog.NameField()->GetControlText(); },
               ClickIn(kCancel)});
  EXPECT_EQ(title, u"Open from Server");
  EXPECT_EQ(buttons,
            (std::vector<B>{B{2, u"Cancel", kCancel}, B{1, u"Open", kAccept}, B{3, u"Delete", kDelete}}));
  EXPECT_EQ(shownFirst, u"a1");
  EXPECT_EQ(shownAfterTyping, u"a1") << "the name can only come from the list";
  EXPECT_EQ(name_, u"kitchen") << "Cancel leaves the caller's name";
}

TEST_F(ServerFileDialogs, TheOpenDialogsNameFollowsEverySelectionChangeAndEnterOpensIt) {
  const struct {
    const char* what;
    std::vector<Step (*)(qxServerFileDialog&)> moves;
    std::u16string name;
  } cases[] = {
      {"the first row", {}, u"a1"},
      {"down twice",
       {[](qxServerFileDialog&) { return Key(plat::VK_DOWN); },
        [](qxServerFileDialog&) { return Key(plat::VK_DOWN); }},
       u"c3"},
      {"down, up",
       {[](qxServerFileDialog&) { return Key(plat::VK_DOWN); },
        [](qxServerFileDialog&) { return Key(plat::VK_UP); }},
       u"a1"},
      {"right moves a whole row", {[](qxServerFileDialog&) { return Key(plat::VK_RIGHT); }}, u"b2"},
      {"a click, then up",
       {[](qxServerFileDialog& d) { return ClickRow(d, 2); },
        [](qxServerFileDialog&) { return Key(plat::VK_UP); }},
       u"b2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qxServerOpenDialog& dialog = MakeOpen(u"", {u"a1", u"b2", u"c3"});
    std::vector<Step> steps;
    for (auto move : c.moves) steps.push_back(move(dialog));
    std::u16string shown;
    steps.push_back([&] { shown = dialog.NameField()->GetControlText(); });
    steps.push_back(Key(plat::VK_RETURN));
    EXPECT_EQ(Run(dialog, steps), 1);
    EXPECT_EQ(shown, c.name);
    EXPECT_EQ(name_, c.name);
  }
}

TEST_F(ServerFileDialogs, TheOpenDialogsKeysReachTheGridAlsoFromTheNameField) {
  qxServerOpenDialog& dialog = MakeOpen(u"", {u"a1", u"b2", u"c3"});
  const Step intoField = IntoField(dialog);
  std::u16string shown;
  EXPECT_EQ(Run(dialog, {intoField, Key(plat::VK_DOWN), Key(plat::VK_DOWN), Key(plat::VK_UP),
                         [&] { shown = dialog.NameField()->GetControlText(); }, Key(plat::VK_RETURN)}),
            1);
  EXPECT_EQ(shown, u"b2");
  EXPECT_EQ(name_, u"b2");
}

TEST_F(ServerFileDialogs, TheOpenDialogOverAnEmptyListGivesAnEmptyNameAndEscapeGivesTwo) {
  qxServerOpenDialog& dialog = MakeOpen(u"kitchen", {});
  EXPECT_EQ(Run(dialog, {Key(plat::VK_DOWN), ClickIn(kAccept)}), 1);
  EXPECT_EQ(name_, u"");
  name_ = u"kitchen";
  EXPECT_EQ(Run(dialog, {Key(plat::VK_DOWN), Key(plat::VK_ESCAPE)}), 2);
  EXPECT_EQ(name_, u"kitchen");
}

TEST_F(ServerFileDialogs, DeleteAsksTheHandlerAndShowsWhatItAnswered) {
  texts_.texts = {{7620, u"The file is locked."}};
  SetTextSource(&texts_);
  const struct {
    DeleteHandler::Answer answer;
    std::vector<std::u16string> rows;
    std::u16string error;
  } cases[] = {{DeleteHandler::kAccept, {u"a1", u"c3"}, u""},
               {DeleteHandler::kDecline, {u"a1", u"b2", u"c3"}, u""},
               {DeleteHandler::kRefuse, {u"a1", u"b2", u"c3"}, u"The file is locked. (42)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.answer));
    qxServerOpenDialog& dialog = MakeOpen(u"kitchen", {u"a1", u"b2", u"c3"});
    ServerFileList* passedIn = list_;
    DeleteHandler handler(c.answer);
    std::u16string shownAfter, error;
    std::vector<std::u16string> rows;
    int32_t rowCount = -1;
    const int32_t result = RunAnsweringErrors(dialog,
                                              {Key(plat::VK_DOWN), ClickIn(kDelete),
                                               [&] {
                                                 shownAfter = dialog.NameField()->GetControlText();
                                                 rowCount = dialog.Grid()->Body()->RowCount();
                                                 rows = Names(dialog.FileList());
                                               },
                                               ClickIn(kAccept)},
                                              error);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(handler.heard.size(), 1u);
    EXPECT_EQ(handler.heard[0].channel, 1000);
    EXPECT_EQ(handler.heard[0].id, 1030);
    EXPECT_EQ(handler.heard[0].name, u"b2");
    EXPECT_EQ(handler.heard[0].list, passedIn);
    EXPECT_EQ(handler.heard[0].resultTextId, 0);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(rowCount, int32_t(c.rows.size()));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(shownAfter, u"");
    EXPECT_EQ(name_, u"") << "\"Open\" right after a delete gives the emptied name, not the deleted one";
    list_ = dialog.FileList();  // the caller keeps (and here destroys) the current list
  }
}

TEST_F(ServerFileDialogs, TheCallerKeepsTheCurrentListAfterSeveralDeletes) {
  // The handler destroys every list it replaces; the caller destroys only FileList(). The leak and
  // address sanitizers see a list destroyed twice or never.
  qxServerOpenDialog& dialog = MakeOpen(u"", {u"a1", u"b2", u"c3"});
  DeleteHandler handler(DeleteHandler::kAccept);
  EXPECT_EQ(Run(dialog, {ClickIn(kDelete), Key(plat::VK_DOWN), ClickIn(kDelete), Key(plat::VK_DOWN),
                         Key(plat::VK_RETURN)}),
            1);
  ASSERT_EQ(handler.heard.size(), 2u);
  EXPECT_EQ(handler.heard[0].name, u"a1");
  EXPECT_EQ(Names(dialog.FileList()), (std::vector<std::u16string>{u"b2"}));
  EXPECT_EQ(name_, u"b2");
  list_ = dialog.FileList();
}

TEST_F(ServerFileDialogs, DeleteWithNoNameShownAsksNothing) {
  // An empty list, and the emptied name right after a delete: no request without a name goes out.
  DeleteHandler handler(DeleteHandler::kDecline);
  qxServerOpenDialog& empty = MakeOpen(u"kitchen", {});
  EXPECT_EQ(Run(empty, {ClickIn(kDelete), ClickIn(kCancel)}), 2);
  EXPECT_TRUE(handler.heard.empty());
  qxServerOpenDialog& dialog = MakeOpen(u"", {u"a1", u"b2"});
  EXPECT_EQ(Run(dialog,
                {ClickIn(kDelete), ClickIn(kDelete), Key(plat::VK_DOWN), ClickIn(kDelete), ClickIn(kCancel)}),
            2);
  ASSERT_EQ(handler.heard.size(), 2u);
  EXPECT_EQ(handler.heard[0].name, u"a1");
  EXPECT_EQ(handler.heard[1].name, u"b2");
}

TEST_F(ServerFileDialogs, TheSaveAndOpenDialogsLookAsKept) {
  qxServerSaveDialog& save = MakeSave(u"kitchen", {u"a1", u"b2", u"c3"});
  Run(save, {[] {}, [] { ExpectLooksAsKept("save"); }, ClickIn(kCancel)});
  qxServerOpenDialog& open = MakeOpen(u"", {u"a1", u"b2"});
  Run(open, {[] {}, [] { ExpectLooksAsKept("open"); }, ClickIn(kCancel)});
}

}  // namespace
