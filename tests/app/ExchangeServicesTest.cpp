// The running program's shell services: the unit trees read once at start-up, the orders by e-mail and
// over TCP through the application's commands on the open document, the price list written after a
// rebuild, and the view bar's order buttons. Each test starts the program on a copy of the demo
// settings, whose own templates and unit trees are used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/ExchangeShellServices.h"
#include "app/shell/ShellSettings.h"
#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "calculation/PriceListTable.h"
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
#include "exchange/LoopbackOrderPeer.h"
#include "exchange/ShowServerError.h"
#include "exchange/qxServerLoginDialog.h"
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

// ---- The orders.

TEST_F(ExchangeServicesTest, TheTcpOrderCommandSendsTheDemoTemplatesWithTheSavedDocument) {
  LoopbackOrderPeer peer(LoopbackOrderPeer::Mode::kAnswer,
                         {"HTTP/1.1 200 OK\r\n\r\n<ht", "ml>thanks</html>"});
  plat::SetTcpPortForTests(peer.Port());
  zelvProApp& app = Start();
  SetRecordText("webSite", "http://127.0.0.1/orders");
  Services().Operations()->SetClock([] {
    plat::SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 7;
    t.wHour = 10;
    t.wMinute = 30;
    return t;
  });
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
  // Every pack gives the plan's elements fresh save ids from the running counter, so the order's
  // bytes and a local save's bytes made before it differ only in those ids (a few bytes each).
  const std::string body = peer.Body();
  ASSERT_EQ(body.size(), saved.size());
  size_t differing = 0;
  for (size_t i = 0; i < body.size(); ++i) differing += body[i] != saved[i] ? 1 : 0;
  EXPECT_LE(differing, 8u) << "the body is the document as a local save writes it";
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
  EXPECT_NE(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].text).find("blocked.txt"), std::string::npos);
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
  EXPECT_EQ(rows,
            (std::vector<Row>{{Line::kTagHeading, "Kitchen", 0},
                              {1, "", b40.Raw()},
                              {1, "", w60.Raw()},
                              {Line::kTagSubtotal, "Subtotal for Kitchen", kitchen.Raw()},
                              {Line::kEmptyLine, "", 0},
                              {1, "", d60.Raw()},
                              {Line::kDiscountLine, "", discount.Raw()},
                              {Line::kEmptyLine, "", 0},
                              {Line::kVatLine, "", vat.Raw()},
                              {Line::kTotalLine, "Total", net.Raw() + vat.Raw()},
                              // The demo units' catalogue note, once.
                              {Line::kEmptyLine, "", 0},
                              {13, "1) Delivered flat-packed; assembly instructions are in the box.", 0}}));

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
