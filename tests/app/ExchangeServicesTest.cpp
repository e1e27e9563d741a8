// The running program's shell services: the unit trees read once at start-up and the interfaces it
// installs, the orders by e-mail and over TCP through the application's commands on the open document,
// the price list written after a rebuild and printed, the view bar's order buttons, and the document
// server's save and open against the loopback HTTPS server. Each test starts the program on a copy of
// the demo settings, whose own templates and unit trees are used.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/shell/ExchangeShellServices.h"
#include "app/shell/ShellSettings.h"
#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "calculation/PriceListTable.h"
#include "calculation/iPriceListPrintRecorder.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "framework/ppDC.h"
#include "platform/Printer.h"
#include "platform/Printing.h"
#include "calculation/UnitTrees.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "calculation/qxUnitTreeNode.h"
#include "calculation/qxUnitTreeQuery.h"
#include "canvas/editor/zelvproViewBar.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppPopupSelector.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproWindowServices.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "exchange/DocumentFileOperations.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "catalogue/records/iDocumentViewPoints.h"
#include "controls/ppSelectorDialog.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/RecordGridMaker.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/iCalculationUpdate.h"
#include "elements/topview/iConfigurator.h"
#include "elements/topview/iRecordGrids.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "elements/units/WorktopBuilder.h"
#include "exchange/DocumentCommands.h"
#include "exchange/ServerExchange.h"
#include "room/iDocumentLoader.h"
#include "exchange/LoopbackOrderPeer.h"
#include "exchange/ShowServerError.h"
#include "exchange/qxErrorMessage.h"
#include "exchange/qxServerLoginDialog.h"
#include "exchange/qxServerOpenDialog.h"
#include "exchange/qxServerSaveDialog.h"
#include "controls/ppEditTextField.h"
#include "framework/ppTextButton.h"
#include "framework/ppViewDialog.h"
#include "platform/HttpsClient.h"
#include "support/FixedTime.h"
#include "support/LoopbackDocumentServer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/FileDialogs.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppApplication.h"
#include "framework/ppDialog.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LocalDate.h"
#include "platform/MessageBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/TcpSocket.h"
#include "platform/TextLog.h"
#include "platform/WindowApi.h"
#include "platform/UserLanguage.h"
#include "PrintJob.h"
#include "support/DemoSettings.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> ShellLog() {
  std::vector<std::string> log;
  for (const plat::ShellExecuteRecord& record : plat::ShellExecuteLog())
    log.push_back(Vcon::Utf8FromUtf16(record.verb) + " \"" + Vcon::Utf8FromUtf16(record.file) + "\"");
  return log;
}

class ExchangeServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::SetTcpReceiveTimeLimitForTests(2000);
    savedPreferences_ = Preferences();
    savedFolder_ = fs::current_path();
    plat::SetUserDefaultLangID(plat::kLangEnglish);
    // No services installed: the program installs its own.
    iShellServices::Install(nullptr);
  }
  void TearDown() override {
    app_.reset();
    gApplication = nullptr;
    plat::SetHttpsPortForTests(0);
    plat::SetHttpsAuthorityFileForTests("");
    fs::current_path(savedFolder_);
    plat::HeadlessDriver::Reset();
    plat::ResetUserDefaultLangID();
    Preferences() = savedPreferences_;
    ApplyDerivedSettings();
  }

  // The program's folder form of the copy's root ("\...\"), current folder and program folder.
  std::string ProgramForm() const {
    std::string folder = demo_.Root().string() + "/";
    for (char& c : folder)
      if (c == '/') c = '\\';
    return folder;
  }
  zelvProApp& Start() {
    fs::current_path(demo_.Root());
    ProgramFolder = Vcon::WString(Vcon::Utf16FromUtf8(ProgramForm()));
    SetStartupDirectory(ProgramFolder);
    gScreenRect = {0, 0, plat::GetSystemMetrics(plat::SM_CXFULLSCREEN),
                   plat::GetSystemMetrics(plat::SM_CYFULLSCREEN)};
    app_ = std::make_unique<zelvProApp>(nullptr, nullptr);
    gApplication = app_.get();
    app_->Startup();
    plat::HeadlessDriver::RunUntilIdle();
    return *app_;
  }
  ExchangeShellServices& Services() {
    auto* services = dynamic_cast<ExchangeShellServices*>(&iShellServices::Current());
    EXPECT_NE(services, nullptr) << "the program installed no services of its own";
    return *services;
  }
  void SetRecordText(const char* field, const char* text) {
    qxApplicationFil& file = app_->ApplicationDatabase()->ApplicationFile();
    RecordField(file, field).SetText(file.GetRecordBuffer(), text);
    ShellSettings::Current().Apply(file);
  }
  // A demo unit placed in the plan by its top-view record's name (B40, W60 ...).
  zelvproElement* Place(const char* name, int32_t x) {
    zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
    views.SelectAll();
    const RecordField nameField(views, "Name");
    for (int32_t i = 0; i < views.GetSelectedCount(); ++i) {
      views.ReadRecordAt(i, nullptr);
      if (std::string(nameField.Text(views.GetRecordBuffer()).c_str()) != name) continue;
      const plat::RECT frame{x, 0, x + 60, 60};
      return views.CreateElement(views.RecordIdAt(i), frame, app_->DocumentWindow()->TopCanvas());
    }
    ADD_FAILURE() << "no top view " << name;
    return nullptr;
  }
  // The bytes a save (local or to the server) writes at this moment: the editor's view values, then
  // the packed record.
  std::string PackedWithViewValues() {
    Handle packed = nullptr;
    Vcon_HandleManager::MemNew(&packed, 0);
    Services().Operations()->PackWithViewValues(packed);
    std::string bytes(*packed, size_t(MemGetSize(packed)));
    MemDispose(packed);
    return bytes;
  }
  // The document record as the last packing left it, packed again as it stands: the bytes that packing
  // gave (a new packing numbers the plan afresh).
  static std::string RecordAsPacked() {
    Handle h = nullptr;
    Vcon_HandleManager::MemNew(&h, 0);
    DocumentRecordFile->PackRecord(nullptr, h);
    std::string bytes(*h, size_t(MemGetSize(h)));
    MemDispose(h);
    return bytes;
  }
  // The bytes a local save of the document would write at this moment.
  std::string SavedBytes() {
    Handle packed = nullptr;
    Vcon_HandleManager::MemNew(&packed, 0);
    Services().Operations()->PrepareForSave(packed);
    std::string bytes(*packed, size_t(MemGetSize(packed)));
    MemDispose(packed);
    return bytes;
  }

  DemoSettings demo_;
  std::unique_ptr<zelvProApp> app_;
  UserPreferences savedPreferences_;
  fs::path savedFolder_;
};

// Answers the dialogs the running program brings up, one act each time a dialog's loop is idle, and
// records the kind of each dialog that comes to the front; a dialog left over is cancelled.
class DialogScript {
 public:
  using Act = std::function<void(ppDialog&)>;
  explicit DialogScript(std::vector<Act> acts) : acts_(std::move(acts)) {
    plat::HeadlessDriver::SetIdleScript([this] {
      const plat::HWND active = plat::GetActiveWindow();
      auto* dialog = active ? static_cast<ppDialog*>(plat::GetPropA(active, ppDialog::kProperty)) : nullptr;
      if (dialog == nullptr) return false;
      if (active != front_) seen.push_back(KindOf(*dialog)), front_ = active;
      if (next_ < acts_.size()) {
        acts_[next_++](*dialog);
      } else if (dynamic_cast<qxErrorMessage*>(dialog) != nullptr) {
        seen.push_back("(unanswered)");
        Press(1)(*dialog);
      } else {
        seen.push_back("(unanswered)");
        plat::Desktop::Key(plat::VK_ESCAPE, true);
        plat::Desktop::Key(plat::VK_ESCAPE, false);
      }
      return true;
    });
  }
  ~DialogScript() { plat::HeadlessDriver::SetIdleScript(nullptr); }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;
  bool AllRan() const { return next_ == acts_.size(); }

  // Presses the button carrying `number` in the dialog.
  static Act Press(int32_t number) {
    return [number](ppDialog& dialog) {
      auto& frame = dynamic_cast<ppViewDialog&>(dialog);
      const ppViewList& views = frame.ContentView()->Subviews();
      for (int32_t i = 0; i < views.Count(); ++i) {
        auto* button = dynamic_cast<ppTextButton*>(views.At(i));
        if (button == nullptr || button->AlternatePicture() != number) continue;
        const plat::RECT r = button->GetFrame();
        plat::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        plat::ClientToScreen(plat::GetDlgItem(plat::GetActiveWindow(), ppViewDialog::kContentItem), &p);
        plat::Desktop::MouseButton(plat::VK_LBUTTON, true, p);
        plat::Desktop::MouseButton(plat::VK_LBUTTON, false, p);
        return;
      }
      ADD_FAILURE() << "no button " << number;
    };
  }
  // Puts `text` into the edit field as the user's typing would: the field takes the focus, gets the
  // text and a key, so that it commits what it shows.
  static Act Enter(std::function<ppEditTextField*(ppDialog&)> field, std::u16string text) {
    return [field, text](ppDialog& dialog) {
      ppEditTextField* edit = field(dialog);
      edit->TakeFocus();
      edit->SetControlText(Vcon::WString(text));
      plat::Desktop::Key(plat::VK_END, true);
      plat::Desktop::Key(plat::VK_END, false);
    };
  }
  // The login's user name and password, then OK.
  static std::vector<Act> LogIn(const char16_t* user, const char16_t* password) {
    auto login = [](ppDialog& d) -> qxServerLoginDialog& { return dynamic_cast<qxServerLoginDialog&>(d); };
    return {Enter([login](ppDialog& d) { return login(d).UserNameField(); }, user),
            Enter([login](ppDialog& d) { return login(d).PasswordField(); }, password), Press(1)};
  }
  // The save dialog's name, then Save.
  static std::vector<Act> SaveAs(const char16_t* name) {
    return {Enter([](ppDialog& d) { return dynamic_cast<qxServerSaveDialog&>(d).NameField(); }, name),
            Press(1)};
  }
  static std::vector<Act> Then(std::vector<Act> first, const std::vector<Act>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
  }

  std::vector<std::string> seen;

 private:
  static std::string KindOf(ppDialog& dialog) {
    if (dynamic_cast<qxServerLoginDialog*>(&dialog) != nullptr) return "login";
    if (dynamic_cast<qxServerSaveDialog*>(&dialog) != nullptr) return "save";
    if (auto* open = dynamic_cast<qxServerOpenDialog*>(&dialog))
      return "open " + Vcon::Utf8FromUtf16(open->NameCopy());
    if (auto* error = dynamic_cast<qxErrorMessage*>(&dialog))
      return "error " + Vcon::Utf8FromUtf16(error->ShownText());
    return "other";
  }
  std::vector<Act> acts_;
  size_t next_ = 0;
  plat::HWND front_ = nullptr;
};

// The texts of a price list print, by the page (from 1) they fell on.
class PageTexts : public iPriceListPrintRecorder {
 public:
  void Font(const char*, int32_t, bool) override {}
  void Text(const Vcon::WString& text, const plat::RECT&, uint32_t) override {
    texts.emplace_back(page, text);
  }
  void Rule(int32_t, int32_t, int32_t, int32_t) override {}
  void Frame(const plat::RECT&) override {}
  void Ellipse(const plat::RECT&, const ppRGBColor&) override {}
  void Square(const plat::RECT&, const ppRGBColor&) override {}
  void Picture(const plat::RECT&) override {}
  void PageBreak() override { ++page; }
  bool OnPage(int32_t on, const Vcon::WString& text) const {
    for (const auto& [where, what] : texts)
      if (where == on && what == text) return true;
    return false;
  }
  int32_t page = 1;
  std::vector<std::pair<int32_t, Vcon::WString>> texts;
};

// ---- Start-up.

TEST_F(ExchangeServicesTest, StartUpReadsTheDemosUnitTreesOnceAndInstallsTheProgramsServices) {
  Start();
  ASSERT_NE(UnitTreeRoot(), nullptr);
  // Two files, three top groups: read twice, every group would be there twice.
  const qxUnitTreeNode& root = *UnitTreeRoot();
  std::vector<std::string> groups;
  for (size_t i = 0; i < root.ChildCount(); ++i)
    groups.push_back(Vcon::Utf8FromUtf16(root.ChildAt(i)->Name()));
  EXPECT_EQ(groups, (std::vector<std::string>{"Base units", "Wall units", "Appliances"}));
  // The references of the tree files became the catalogue's units.
  const qxUnitTreeNode* base = root.ChildAt(0);
  ASSERT_EQ(base->ChildCount(), 5u);
  EXPECT_EQ(Vcon::Utf8FromUtf16(base->ChildAt(0)->Name()), "Base unit 40 cm");
  EXPECT_NE(base->ChildAt(0)->UnitRecordId(), 0);
  EXPECT_EQ(base->ChildAt(0)->Database(), MainCatalogDatabase);
  EXPECT_NE(Services().Operations(), nullptr);
  // The record's web site is the order host.
  EXPECT_EQ(std::string(ShellSettings::Current().WebSite().c_str()), "https://www.vellmora-home.example");
  app_.reset();
  EXPECT_FALSE(iShellServices::AnyInstalled()) << "the program's services went with it";
}

// The unit files are read when the tree is first asked for, not during the start: a file laid in the
// folder after the start is in the tree, and asking again reads nothing twice.
TEST_F(ExchangeServicesTest, TheUnitTreesAreReadWhenFirstAskedFor) {
  Start();
  std::ofstream(demo_.Root() / "settings" / "calculation" / "3-late.txt", std::ios::binary)
      << "\t9100\t\tLate units\tROOT\n";
  ASSERT_NE(UnitTreeRoot(), nullptr);
  ASSERT_EQ(UnitTreeRoot(), UnitTreeRoot());
  std::vector<std::string> groups;
  for (size_t i = 0; i < UnitTreeRoot()->ChildCount(); ++i)
    groups.push_back(Vcon::Utf8FromUtf16(UnitTreeRoot()->ChildAt(i)->Name()));
  EXPECT_EQ(groups, (std::vector<std::string>{"Base units", "Wall units", "Appliances", "Late units"}));
  // The program's end forgets the tree: nothing is read after it.
  app_.reset();
  EXPECT_EQ(UnitTreeRoot(), nullptr);
}

// A service line's panel in the running program's calculation view: its unit selector is the tree
// of the demo's unit files, and every unit in it reads as a unit of the demo catalogue.
TEST_F(ExchangeServicesTest, TheServiceLinesUnitSelectorShowsTheDemosUnitTrees) {
  Start();
  app_->DocumentWindow()->ViewBar()->SelectViewByIndex(5);
  plat::HeadlessDriver::RunUntilIdle();
  zelvproCalculatorList* list = zelvproCalculatorList::Current();
  ASSERT_NE(list, nullptr);
  list->AddLine(zelvproCalculatorFil::kItemService);
  plat::HeadlessDriver::RunUntilIdle();
  ppConfigurator* host = ppConfigurator::Host();
  ASSERT_NE(host, nullptr);
  ASSERT_NE(host->CurrentPanel(), nullptr) << "the new line's panel";
  qxUnitTreeQuery* query = nullptr;
  for (ppField* f = host->CurrentPanel()->FirstField(); f != nullptr && query == nullptr; f = f->NextField())
    if (auto* selector = dynamic_cast<ppPopupSelector*>(f); selector != nullptr && selector->IsTree())
      query = dynamic_cast<qxUnitTreeQuery*>(selector->Query());
  ASSERT_NE(query, nullptr) << "no unit selector on the service line's panel";
  EXPECT_EQ(query->GetTreeRoot(), UnitTreeRoot());
  // The names the selector's rows show for units, in the files' order; groups show none, and a
  // reference that found no unit would show none either.
  std::vector<std::string> units;
  for (int32_t i = 0; i < query->GetItemCount(); ++i) {
    ppParameter name{Vcon::WString()};
    query->GetColumn3(i, name);
    const std::string text = name.AsWString().Narrow().c_str();
    if (!text.empty()) units.push_back(text);
  }
  EXPECT_EQ(units, (std::vector<std::string>{"Base unit 40 cm", "Base unit 60 cm", "Base unit 80 cm",
                                             "Drawer unit 40 cm", "Drawer unit 60 cm", "Sink unit 60 cm",
                                             "Wall unit 40 cm", "Wall unit 60 cm", "Wall unit set 2 x 40 cm",
                                             "Built-in oven", "Dishwasher"}));
}

// The demo's English words of the server dialogs and messages: every number the exchange asks for has
// a text, and an error description reads as the demo's own.
TEST_F(ExchangeServicesTest, TheDemoHasTheServerDialogsAndMessagesWords) {
  Start();
  Preferences().languageCode = 1033;
  ApplyDerivedSettings();
  std::vector<int32_t> ids{7418, 7419, 7420, 7421, 7422, 7423, 7427, 7430, 7431, 7432, 7433, 7434,
                           7435, 7436, 7437, 7438, 7439, 7442, 7443, 7444, 7447, 7452, 7453, 7460,
                           7621, 7622, 7623, 7631, 7632, 7633, 7671, 7691, 7692, 7698, 7699};
  for (int32_t id = 7600; id <= 7618; ++id) ids.push_back(id);
  for (int32_t id : ids) {
    Vcon::WString text;
    EXPECT_TRUE(GetTextById(id, text) && !text.empty()) << "no English text " << id;
  }
  EXPECT_EQ(Vcon::Utf8FromUtf16(ServerErrorMessage(-3)), "\nThe server could not be reached.");
  // A code the demo's server does not name: the general description and the helpdesk line.
  EXPECT_EQ(Vcon::Utf8FromUtf16(ServerErrorMessage(500)),
            "\nThe server reported an unknown error.\n"
            "Please contact the Vellmora Home helpdesk with the error code #500");
}

// After start-up every interface the subsystems reach through is the program's own, not a neutral
// stand-in; the server's delete service is the server exchange once the server was first used.
TEST_F(ExchangeServicesTest, AfterStartUpEveryInstalledInterfaceIsTheProgramsOwn) {
  zelvProApp& app = Start();
  zelvproWindow& window = *app.DocumentWindow();
  DocumentFileOperations* operations = Services().Operations();
  ASSERT_NE(operations, nullptr);
  const std::pair<const char*, bool> kInstalled[] = {
      {"shell services", dynamic_cast<ExchangeShellServices*>(&iShellServices::Current()) != nullptr},
      {"document commands", dynamic_cast<DocumentCommands*>(&window.DocumentCommands()) != nullptr},
      {"document loader", &iDocumentLoader::Current() == operations},
      // The window stands in for its 3D canvas until that is made (below).
      {"view points", DocumentRecordFile->ViewPoints() == static_cast<iDocumentViewPoints*>(&window)},
      {"element host", &iElementHost::Current() == static_cast<iElementHost*>(&window)},
      {"task factory", dynamic_cast<CanvasTaskFactory*>(&iElementTaskFactory::Current()) != nullptr},
      {"configurator", dynamic_cast<zelvproElementConfigurator*>(&iConfigurator::Current()) != nullptr},
      {"record grids", dynamic_cast<RecordGridMaker*>(&iRecordGrids::Current()) != nullptr},
      {"worktop builder", dynamic_cast<WorktopBuilder*>(&iWorktopBuilder::Current()) != nullptr},
      {"price list lines", &iCalculationList::Current() == static_cast<iCalculationList*>(PriceListTable())},
      {"price list updates", zelvproCalculatorList::Current() != nullptr &&
                                 &iCalculationUpdate::Current() ==
                                     static_cast<iCalculationUpdate*>(zelvproCalculatorList::Current())},
      {"application settings",
       &iApplicationSettings::Current() == &ShellSettings::Current().ElementSettings()},
      {"selector scene refresh", ppSelectorDialog::SceneRefresh() != nullptr},
  };
  for (const auto& [what, installed] : kInstalled) EXPECT_TRUE(installed) << what;

  // The server exchange is made on the first server command and is the document's delete service.
  iDocumentViewPoints* scene = dynamic_cast<iDocumentViewPoints*>(window.Canvas3DView());
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(DocumentRecordFile->ViewPoints(), scene);
  EXPECT_EQ(DocumentRecordFile->ServerDeleteService(), nullptr);
  {
    DialogScript script({DialogScript::Press(2)});  // the login cancelled
    app.DoCommand(zelvProApp::kSaveToServer, 0);
  }
  EXPECT_NE(dynamic_cast<ServerExchange*>(DocumentRecordFile->ServerDeleteService()), nullptr);

  app_.reset();
  gApplication = nullptr;
  EXPECT_FALSE(iShellServices::AnyInstalled());
  EXPECT_EQ(dynamic_cast<zelvproElementConfigurator*>(&iConfigurator::Current()), nullptr);
  EXPECT_EQ(dynamic_cast<RecordGridMaker*>(&iRecordGrids::Current()), nullptr);
  EXPECT_EQ(ppSelectorDialog::SceneRefresh(), nullptr);
}

// ---- The orders.

TEST_F(ExchangeServicesTest, TheTcpOrderCommandSendsTheDemoTemplatesWithTheSavedDocument) {
  LoopbackOrderPeer peer(LoopbackOrderPeer::Mode::kAnswer,
                         {"HTTP/1.1 200 OK\r\n\r\n<ht", "ml>thanks</html>"});
  plat::SetTcpPortForTests(peer.Port());
  zelvProApp& app = Start();
  SetRecordText("webSite", "http://127.0.0.1/orders");
  Services().Operations()->SetClock([] { return support::FixedTime(2026, 12, 7, 10, 30); });
  Place("B40", 0);
  const std::string saved = SavedBytes();
  ASSERT_GT(saved.size(), 100u);

  for (const int32_t answer : {plat::IDNO, plat::IDYES}) {
    SCOPED_TRACE(answer);
    plat::ClearMessageBoxLog();
    plat::ClearShellExecuteLog();
    plat::QueueMessageBoxAnswer(answer);
    app.DoCommand(zelvProApp::kSendOrder, 0);
    // One question, the order's own.
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption), "Internet Access");
  }
  EXPECT_EQ(peer.Connections(), 1) << "No connects nowhere";
  const std::string head = peer.Head();
  EXPECT_TRUE(head.starts_with("POST /order HTTP/1.1\r\n")) << head;
  EXPECT_NE(head.find("\r\nContent-Length: " + std::to_string(saved.size()) + "\r\n"), std::string::npos)
      << head;
  // The plan did not change in between: the body is the document exactly as the order packed it, as
  // large as a local save of it.
  const std::string body = peer.Body();
  ASSERT_EQ(body.size(), saved.size());
  EXPECT_TRUE(body == RecordAsPacked()) << "the body differs from the packed document";
  EXPECT_EQ(ReadAll(demo_.File("output.htm")), "<html>thanks</html>");
  EXPECT_EQ(ShellLog(), std::vector<std::string>{"open \"" + ProgramForm() + "settings\\output.htm\""});
}

TEST_F(ExchangeServicesTest, TheMailOrderWritesOneMessageAndLeavesNoOrderFile) {
  plat::SetLocalDateForTests(2026, 12, 7);
  zelvProApp& app = Start();
  Place("W60", 0);
  DocumentRecordFile->SetModified(true);
  plat::ClearShellExecuteLog();
  app.DoCommand(zelvProApp::kMailOrder, 0);

  std::vector<fs::path> messages;
  if (fs::is_directory(demo_.File("outbox")))
    for (const fs::directory_entry& entry : fs::directory_iterator(demo_.File("outbox")))
      messages.push_back(entry.path());
  ASSERT_EQ(messages.size(), 1u);
  const std::string message = ReadAll(messages[0]);
  EXPECT_TRUE(
      message.starts_with("To: \"Vellmora Home orders\" <orders@vellmora-home.example>\r\n"
                          "Subject: Kitchen order\r\n"))
      << message.substr(0, 200);
  EXPECT_NE(message.find("filename=\"kitchen-order.qxf\""), std::string::npos);
  EXPECT_FALSE(fs::exists(demo_.Root() / "ordre.qxf"));
  EXPECT_EQ(ShellLog().size(), 1u);
  // The unsaved change is still asked about at closing.
  EXPECT_TRUE(DocumentRecordFile->IsModified());
  EXPECT_FALSE(DocumentRecordFile->IsSavedOnce());
}

// ---- The price list written to the record's output file.

TEST_F(ExchangeServicesTest, ThePriceListCommandRebuildsFromThePlanBeforeWriting) {
  zelvProApp& app = Start();
  SetRecordText("posPath", ".\\prices.txt");
  Place("B40", 0);
  Place("W60", 100);
  // Nothing has rebuilt the list since the units were placed: the file must still name both.
  app.DoCommand(zelvProApp::kWritePriceList, 0);
  const std::string written = ReadAll(demo_.Root() / "prices.txt");
  EXPECT_NE(written.find("VH-10002"), std::string::npos) << written;
  EXPECT_NE(written.find("VH-10023"), std::string::npos) << written;

  // A file that cannot be written is reported, and the command returns.
  fs::create_directories(demo_.Root() / "blocked.txt");
  SetRecordText("posPath", ".\\blocked.txt");
  plat::ClearMessageBoxLog();
  app.DoCommand(zelvProApp::kWritePriceList, 0);
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_NE(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].text).find("./blocked.txt"), std::string::npos)
      << "the path is not shown as the user's system writes it";
}

// ---- The demo plan's price list.

// What the price list shows of a line: type, "totherText", total (raw money).
struct Row {
  int32_t type = 0;
  std::string text;
  int64_t total = 0;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  return out << "{" << r.type << ", \"" << r.text << "\", " << r.total << "}";
}

TEST_F(ExchangeServicesTest, TheDemoPlansPriceListGroupsTheTagThenDiscountVatAndTotal) {
  using Line = zelvproCalculatorFil;
  Start();
  zelvproTagFil& tags = DocumentRecordFile->TagTable();
  tags.ClearRecordBuffer(nullptr);
  tags.SetFieldValue(tags.IndexOf("id"), ppParameter(int32_t(5)), nullptr);
  tags.SetFieldValue(tags.IndexOf("tname"), ppParameter(Vcon::WString(u"Kitchen")), nullptr);
  tags.SetFieldValue(tags.IndexOf("ttext"), ppParameter(Vcon::WString(u"Kitchen")), nullptr);
  tags.InsertRecordAt(-1, nullptr);
  Place("B40", 0)->SetTagTree(5);
  Place("W60", 100)->SetTagTree(5);
  Place("D60", 200);
  // The user's lines: a Discount of -10 % for the whole plan, VAT 25 %.
  zelvproCalculatorFil& lines = *PriceListTable();
  for (const auto& [type, percent] :
       {std::pair{Line::kDiscountLine, -10.0f}, std::pair{Line::kVatLine, 25.0f}}) {
    lines.BeginAccess();
    lines.ClearRecordBuffer(nullptr);
    lines.SetFieldValue(lines.IndexOf("type"), ppParameter(int32_t(type)), nullptr);
    lines.SetFieldValue(lines.IndexOf("discountPct"), ppParameter(percent), nullptr);
    lines.InsertRecordAt(-1, nullptr);
    lines.SaveToBlob();
  }
  // Showing the calculation view rebuilds the list from the plan.
  app_->DocumentWindow()->ViewBar()->SelectViewByIndex(5);
  plat::HeadlessDriver::RunUntilIdle();

  std::vector<Row> rows;
  lines.BeginAccess();
  for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
    lines.ReadRecordAt(i, nullptr);
    ppParameter type, text, total;
    lines.ppDatafile::GetFieldValue(lines.IndexOf("type"), type, nullptr);
    lines.ppDatafile::GetFieldValue(lines.IndexOf("totherText"), text, nullptr);
    lines.ppDatafile::GetFieldValue(lines.IndexOf("total"), total, nullptr);
    rows.push_back(Row{type.ToLong(), text.AsWString().Narrow().c_str(), total.ToMoney().Raw()});
  }
  // The amounts by the list's own rule: the price times float(percent / 100).
  const ppMoney b40 = ppMoney::FromRaw(1495 * ppMoney::kScale),
                w60 = ppMoney::FromRaw(1295 * ppMoney::kScale),
                d60 = ppMoney::FromRaw(2495 * ppMoney::kScale);
  const ppMoney kitchen = ppMoney::FromRaw(b40.Raw() + w60.Raw());
  const ppMoney items = ppMoney::FromRaw(kitchen.Raw() + d60.Raw());
  const ppMoney discount = items.MultipliedByFloat(float(-10.0 / 100.0));
  const ppMoney net = ppMoney::FromRaw(items.Raw() + discount.Raw());
  const ppMoney vat = net.MultipliedByFloat(float(25.0 / 100.0));
  EXPECT_EQ(rows, (std::vector<Row>{{Line::kTagHeading, "Kitchen", 0},
                                    {1, "", b40.Raw()},
                                    {1, "", w60.Raw()},
                                    {Line::kTagSubtotal, "Subtotal for Kitchen", kitchen.Raw()},
                                    {Line::kEmptyLine, "", 0},
                                    {1, "", d60.Raw()},
                                    {Line::kDiscountLine, "", discount.Raw()},
                                    {Line::kEmptyLine, "", 0},
                                    {Line::kVatLine, "", vat.Raw()},
                                    // No note lines: of the demo's units only the sinks carry a note.
                                    {Line::kTotalLine, "Total", net.Raw() + vat.Raw()}}));

  // The footer variant: the Total is drawn in the footer, the same amount as the Total line's.
  qxApplicationFil& record = app_->ApplicationDatabase()->ApplicationFile();
  const RecordField flags1(record, "flags1");
  flags1.SetLong(record.GetRecordBuffer(),
                 flags1.Long(record.GetRecordBuffer()) | int32_t(zelvproCalculatorList::kTotalFooter));
  ShellSettings::Current().Apply(record);
  dynamic_cast<zelvproTopCanvas*>(app_->DocumentWindow()->TopCanvas())->RecalculatePriceList();
  Vcon::WString shownTotal;
  lines.BeginAccess();
  for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
    lines.ReadRecordAt(i, nullptr);
    ppParameter type, total;
    lines.ppDatafile::GetFieldValue(lines.IndexOf("type"), type, nullptr);
    if (type.ToLong() != Line::kTotalLine) continue;
    lines.ppDatafile::GetFieldValue(lines.IndexOf("total"), total, nullptr);
    EXPECT_EQ(total.ToMoney().Raw(), net.Raw() + vat.Raw());
    lines.GetFieldValue(Line::kTotal, total, lines.GetRecordBuffer());
    shownTotal = total.AsWString();
  }
  ASSERT_FALSE(shownTotal.empty());
  zelvproCalculatorList* pane = zelvproCalculatorList::Current();
  ASSERT_NE(pane, nullptr);
  plat::HeadlessDriver::RunUntilIdle();
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  pane->Invalidate();
  plat::UpdateWindow(app_->DocumentWindow()->GetHWND());
  plat::HeadlessDriver::RunUntilIdle();
  plat::RecordDrawnTexts(false);
  bool label = false, amount = false;
  for (const plat::TextLogRecord& r : plat::DrawnTextLog()) {
    label = label || r.text == u"Total (VAT incl.)";
    amount = amount || r.text == std::u16string(shownTotal.c_str());
  }
  EXPECT_TRUE(label);
  EXPECT_TRUE(amount) << Vcon::Utf8FromUtf16(shownTotal);

  // Printed from the calculation view to a PDF, every page in one job: the Total's amount is printed
  // (at the list's 96-pixel rows a page holds three lines, and the notes follow the Total).
  PageTexts printed;
  pane->SetPrintRecorder(&printed);
  const fs::path pages = demo_.Root() / "pages";
  fs::create_directories(pages);
  plat::PrinterSetup setup;
  setup.output = (demo_.Root() / "list.pdf").string();
  setup.pngFolder = pages.string();
  plat::HDC printer = plat::CreatePrinterDC(setup);
  ASSERT_NE(printer, nullptr);
  apptest::PrintEveryPage(printer, *app_->DocumentWindow()->EditorCanvasView()->Editor()->EditorScroller());
  pane->SetPrintRecorder(nullptr);
  EXPECT_TRUE(fs::exists(demo_.Root() / "list.pdf"));
  ASSERT_GE(pane->PrintPageCount(), 1);
  EXPECT_EQ(printed.page, pane->PrintPageCount());
  bool totalPrinted = false;
  for (int32_t on = 1; on <= printed.page; ++on)
    totalPrinted = totalPrinted || printed.OnPage(on, shownTotal);
  EXPECT_TRUE(totalPrinted) << "no page shows the Total";

  // The saved document's shopping list: one sales item per priced line, by its article number.
  SavedBytes();
  const std::string xml = Vcon::Utf8FromUtf16(
      RecordField(*DocumentRecordFile, "xmlExport").WideText(DocumentRecordFile->Record()));
  size_t salesItems = 0;
  for (size_t at = xml.find("<VoSlSalesItem>"); at != std::string::npos;
       at = xml.find("<VoSlSalesItem>", at + 1))
    ++salesItems;
  EXPECT_EQ(salesItems, 3u) << xml;
  for (const char* article : {"VH-10002", "VH-10023", "VH-10011"})
    EXPECT_NE(xml.find(std::string("<SalesItemNo>") + article + "</SalesItemNo>"), std::string::npos)
        << article;
}

// ---- The view bar's order buttons.

TEST_F(ExchangeServicesTest, TheViewBarShowsTheOrderButtonsOfTheRecordAndTheyRunTheOrders) {
  LoopbackOrderPeer peer(LoopbackOrderPeer::Mode::kAnswer, {"<p>ok</p>"});
  plat::SetTcpPortForTests(peer.Port());
  Start();
  SetRecordText("webSite", "127.0.0.1");
  // The window's services as its view bar holds them.
  zelvproWindowServices services(app_->ApplicationDatabase(), iDocumentCommands::Neutral());
  EXPECT_EQ(Vcon::Utf8FromUtf16(services.MailAddress()), "planner@vellmora-home.example");
  EXPECT_EQ(Vcon::Utf8FromUtf16(services.WebSite()), "127.0.0.1");

  plat::QueueMessageBoxAnswer(plat::IDYES);
  services.SendOverInternet();
  EXPECT_EQ(peer.Connections(), 1);
  services.SendOrderByMail();
  EXPECT_TRUE(fs::is_directory(demo_.File("outbox")));
  EXPECT_FALSE(fs::exists(demo_.Root() / "ordre.qxf"));
}

}  // namespace

// ---- The document server.

// The document server's round trip through the running program: a plan saved to the loopback server
// is exactly the document the save packed, opens again from there, and saved a second time unchanged
// gives the same plan under new element numbers (every save numbers the plan afresh).
TEST_F(ExchangeServicesTest, ADemoPlanSavedToTheServerOpensFromItAndSavesAgainAsTheSamePlan) {
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  testsupport::LoopbackDocumentServer server;
  plat::SetHttpsPortForTests(server.Port());
  plat::SetHttpsAuthorityFileForTests(testsupport::LoopbackDocumentServer::AuthorityFile());
  zelvProApp& app = Start();
  std::ofstream(demo_.File("ip.txt"), std::ios::binary) << "127.0.0.1\t/store";
  Services().Operations()->SetClock([] { return support::FixedTime(2026, 12, 7, 9); });
  const auto units = [this] {
    std::vector<int32_t> ids;
    ForEachChildElement(*app_->DocumentWindow()->TopCanvas(),
                        [&](zelvproElement* e) { ids.push_back(e->recordId); });
    return ids;
  };
  // Saves the document to the server under `name` (the first time after the login) and answers what
  // the server then holds under that name.
  const auto save = [&](const char16_t* name, bool login) {
    DialogScript script(login
                            ? DialogScript::Then(DialogScript::LogIn(u"u", u"p"), DialogScript::SaveAs(name))
                            : DialogScript::SaveAs(name));
    app.DoCommand(zelvProApp::kSaveToServer, 0);
    EXPECT_TRUE(script.AllRan());
    EXPECT_EQ(script.seen,
              login ? (std::vector<std::string>{"login", "save"}) : std::vector<std::string>{"save"});
    const std::string stored = Vcon::Utf8FromUtf16(name);
    return server.Documents().count(stored) != 0 ? server.Documents().at(stored) : std::string();
  };
  const auto open = [&](const char16_t* name) {
    DialogScript script(
        {DialogScript::Enter([](ppDialog& d) { return dynamic_cast<qxServerOpenDialog&>(d).NameField(); },
                             name),
         DialogScript::Press(1)});
    app.DoCommand(zelvProApp::kOpenFromServer, 0);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_TRUE(script.AllRan());
  };

  // A demo plan of three units side by side (millimetres), kept on the server and opened from there:
  // what a plan only derives (frames, camera, list order) now stands as a load leaves it.
  for (const auto& [name, x] :
       {std::pair{"B40", 1200.0f}, std::pair{"B30", 1600.0f}, std::pair{"D60", 1900.0f}})
    Place(name, 0)->SetPosition(ppVector3(x, 0.0f, 1800.0f));
  const std::vector<int32_t> plan = units();
  DocumentRecordFile->MarkModified();
  ASSERT_FALSE(save(u"start.qxf", true).empty());
  open(u"start.qxf");
  ASSERT_EQ(units(), plan);

  // Marked modified and saved as "round.qxf": the server holds exactly the packed document, as large
  // as any packing of the plan.
  DocumentRecordFile->MarkModified();
  const std::string packed = PackedWithViewValues();
  const std::string first = save(u"round.qxf", false);
  EXPECT_TRUE(first == RecordAsPacked()) << "the server holds other bytes than the packed document";
  EXPECT_EQ(first.size(), packed.size());
  EXPECT_FALSE(DocumentRecordFile->IsModified());

  // Opened from the server, the plan comes back in place of the one shown.
  Place("B40", 300);
  DocumentRecordFile->SetModified(false);
  open(u"round.qxf");
  EXPECT_EQ(units(), plan);
  EXPECT_FALSE(DocumentRecordFile->IsModified());

  // Marked modified again and saved as "round2.qxf": the same plan, numbered afresh.
  DocumentRecordFile->MarkModified();
  const std::string second = save(u"round2.qxf", false);
  EXPECT_EQ(second.size(), first.size());
  EXPECT_TRUE(second == RecordAsPacked()) << "the server holds other bytes than the packed document";
  EXPECT_FALSE(second == first) << "the second save kept the first one's numbers";
  // The program and its session go before the server: a kept-alive connection would hold it up.
  app_.reset();
  gApplication = nullptr;
}

// A refused login in the running program is shown, and the login comes back with what was typed.
TEST_F(ExchangeServicesTest, ARefusedLoginShowsTheRefusalAndAsksAgain) {
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  testsupport::LoopbackDocumentServer server;
  plat::SetHttpsPortForTests(server.Port());
  plat::SetHttpsAuthorityFileForTests(testsupport::LoopbackDocumentServer::AuthorityFile());
  zelvProApp& app = Start();
  std::ofstream(demo_.File("ip.txt"), std::ios::binary) << "127.0.0.1\t/store";
  {
    std::vector<DialogScript::Act> acts = DialogScript::LogIn(u"u", u"wrong");
    acts.push_back(DialogScript::Press(1));  // the refusal's OK
    acts.push_back(DialogScript::Press(2));  // the login cancelled
    DialogScript script(acts);
    app.DoCommand(zelvProApp::kSaveToServer, 0);
    EXPECT_TRUE(script.AllRan());
    ASSERT_EQ(script.seen.size(), 3u);
    EXPECT_EQ(script.seen[0], "login");
    EXPECT_TRUE(script.seen[1].starts_with("error ")) << script.seen[1];
    EXPECT_EQ(script.seen[2], "login");
  }
  EXPECT_TRUE(server.Documents().empty());
  app_.reset();
  gApplication = nullptr;
}

// The program's server save and open reach the server flows: each starts with the login dialog (the
// demo has no session yet), and cancelling it leaves the document as it was.
TEST_F(ExchangeServicesTest, TheServerCommandsStartWithTheLoginAndCancellingLeavesTheDocumentAlone) {
  zelvProApp& app = Start();
  std::vector<std::string> seen;
  plat::HeadlessDriver::SetIdleScript([&seen] {
    const plat::HWND active = plat::GetActiveWindow();
    auto* dialog = active ? static_cast<ppDialog*>(plat::GetPropA(active, ppDialog::kProperty)) : nullptr;
    if (dialog == nullptr) return false;
    seen.push_back(dynamic_cast<qxServerLoginDialog*>(dialog) != nullptr ? "login" : "other");
    plat::Desktop::Key(plat::VK_ESCAPE, true);
    plat::Desktop::Key(plat::VK_ESCAPE, false);
    return true;
  });
  ASSERT_NE(DocumentRecordFile, nullptr);
  DocumentRecordFile->MarkModified();
  app.DoCommand(zelvProApp::kSaveToServer, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"login"}));
  EXPECT_TRUE(DocumentRecordFile->IsModified());
  DocumentRecordFile->SetModified(false);
  seen.clear();
  app.DoCommand(zelvProApp::kOpenFromServer, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"login"}));
  plat::HeadlessDriver::SetIdleScript(nullptr);
}
