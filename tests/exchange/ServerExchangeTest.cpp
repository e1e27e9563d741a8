// Logging in, saving to, opening from and deleting on the document server, end to end: the flows run
// against the loopback HTTPS document server on a copy of the demo settings, their dialogs answered on
// the headless desktop by a script of clicks and keys. Every dialog that comes up is recorded (kind and
// what it shows), so each case states the whole conversation. The server logs, for every request,
// whether the save-in-progress flag was set while it was answered.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ServerDialogTestSupport.h"
#include "calculation/ShoppingListXml.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/AutoSaveThread.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/ppEditTextField.h"
#include "controls/ppTextField.h"
#include "controls/zelvproWarningDialog.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/ServerAddress.h"
#include "exchange/ServerExchange.h"
#include "exchange/ServerFileList.h"
#include "exchange/ShowServerError.h"
#include "exchange/iDocumentPlanSteps.h"
#include "exchange/qxAlertDialog.h"
#include "exchange/qxErrorMessage.h"
#include "exchange/qxServerLoginDialog.h"
#include "exchange/qxServerOpenDialog.h"
#include "exchange/qxServerSaveDialog.h"
#include "foundation/OwnedHandle.h"
#include "foundation/PosixPath.h"
#include "foundation/UserPreferences.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppTextButton.h"
#include "platform/HttpsClient.h"
#include "platform/MessageBox.h"
#include "support/DemoSettings.h"
#include "support/FixedTime.h"
#include "support/LoopbackDocumentServer.h"

namespace {

namespace fs = std::filesystem;
using testsupport::LoopbackDocumentServer;
using Fault = LoopbackDocumentServer::Fault;

// The bytes of a document file, the format's own view values: what the editor would give.
class FixedViewSteps : public iDocumentPlanSteps {
 public:
  void ViewValues(double& x, double& y) override { x = 3.5, y = -1.25; }
  int32_t ViewMode() override { return 2024; }
};

plat::SYSTEMTIME FixedClock() { return support::FixedTime(2026, 12, 7, 9); }

class ServerExchangeTest : public extest::ServerDialogTest {
 protected:
  using Act = std::function<void(ppDialog&)>;

  void SetUp() override {
    extest::ServerDialogTest::SetUp();
    // A proxy of the machine that runs the tests must not stand between the client and the loopback.
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    server_ = std::make_unique<LoopbackDocumentServer>();
    plat::SetHttpsPortForTests(server_->Port());
    plat::SetHttpsAuthorityFileForTests(LoopbackDocumentServer::AuthorityFile());
    server_->SetProbe([] { return std::string(SaveInProgress.load() ? "saving" : "idle"); });
    saved_ = fs::current_path();
    demo_ = std::make_unique<DemoSettings>();
    fs::current_path(demo_->Root());
    ppFileSpec applicationFile(Vcon::WString(demo_->File("zadezodid.cdb").string().c_str()));
    application_ = std::make_unique<qxApplicationdb>(applicationFile);
    // The texts the flows show, so that each message names the text that was asked for.
    texts_.texts = {{7422, u"Replace it?"},      {7423, u"Delete it?"},       {7600, u"Login refused"},
                    {7601, u"Upload refused"},   {7602, u"Download refused"}, {7603, u"Delete refused"},
                    {7604, u"No document data"}, {7605, u"Login failed"},     {7606, u"Save failed"},
                    {7607, u"Open failed"},      {7609, u"Wrong login"},      {7612, u"Not sent"},
                    {7618, u"Bad name"},         {7622, u"No such file"},     {7631, u"File is locked"}};
    SetTextSource(&texts_);
    doc_ = std::make_unique<zelvproDocFil>(zelvproDocFil::DatabaseToBind());
    ops_ = std::make_unique<DocumentFileOperations>(*doc_, steps_);
    ops_->SetClock(&FixedClock);
    exchange_ = std::make_unique<ServerExchange>(*doc_, *ops_, window_);
    SetFrameLocked(false);
    WriteAddressFile("127.0.0.1\t/store");
    plat::ClearMessageBoxLog();
  }
  void TearDown() override {
    plat::HeadlessDriver::SetIdleScript(nullptr);
    exchange_.reset();
    ops_.reset();
    doc_.reset();
    application_.reset();
    fs::current_path(saved_);
    demo_.reset();
    server_.reset();
    extest::ServerDialogTest::TearDown();
  }

  // A fresh exchange (not logged in) with the test account's user name and password.
  void NewExchange() {
    exchange_.reset();  // it takes its delete service off the document first
    exchange_ = std::make_unique<ServerExchange>(*doc_, *ops_, window_);
    exchange_->SetCredentials(u"u", u"p");
  }
  // A new loopback server in place of the old one, its probe on the flag, and a new exchange. The old
  // exchange goes first: a server stopping with a kept-alive connection open waits for it to time out.
  void NewServer() {
    exchange_.reset();
    firstFlowRequest_ = 0;
    server_ = std::make_unique<LoopbackDocumentServer>();
    plat::SetHttpsPortForTests(server_->Port());
    server_->SetProbe([] { return std::string(SaveInProgress.load() ? "saving" : "idle"); });
    NewExchange();
  }
  void WriteAddressFile(const std::string& bytes) {
    std::ofstream(demo_->File("ip.txt"), std::ios::binary) << bytes;
  }
  void RemoveAddressFile() { fs::remove(demo_->File("ip.txt")); }

  // Answers the dialogs that come up, one act each time a dialog's loop is idle; a dialog left over
  // is recorded and cancelled with Escape. Every dialog is recorded once each time it comes to the
  // front (see Describe).
  void Script(std::vector<Act> acts) {
    acts_ = std::move(acts);
    next_ = 0;
    seen_.clear();
    front_ = nullptr;
    plat::HeadlessDriver::SetIdleScript([this] {
      const plat::HWND active = plat::GetActiveWindow();
      auto* dialog = active ? static_cast<ppDialog*>(plat::GetPropA(active, ppDialog::kProperty)) : nullptr;
      if (dialog == nullptr) return false;
      if (active != front_) {
        seen_.push_back(Describe(*dialog));
        front_ = active;
      }
      if (next_ >= acts_.size()) {
        seen_.push_back(u"(unanswered)");
        Key(plat::VK_ESCAPE)();
      } else {
        acts_[next_++](*dialog);
      }
      return true;
    });
  }
  void ExpectAllActsRan() { EXPECT_EQ(next_, acts_.size()) << "the flow ended before its last answer"; }

  static std::u16string Describe(ppDialog& dialog) {
    if (auto* login = dynamic_cast<qxServerLoginDialog*>(&dialog))
      return u"login " + login->UserNameField()->GetControlText() + u"/" +
             login->PasswordField()->GetControlText();
    if (auto* save = dynamic_cast<qxServerSaveDialog*>(&dialog)) return u"save " + save->NameCopy();
    if (auto* open = dynamic_cast<qxServerOpenDialog*>(&dialog)) {
      std::u16string names;
      for (const ServerFileEntry& entry : *open->FileList())
        names += (names.empty() ? u"" : u",") + entry.name;
      return u"open " + open->NameCopy() + u" [" + names + u"]";
    }
    if (auto* alert = dynamic_cast<qxAlertDialog*>(&dialog)) return u"alert " + alert->TextField()->Text();
    if (auto* error = dynamic_cast<qxErrorMessage*>(&dialog)) return u"error " + error->ShownText();
    if (dynamic_cast<zelvproWarningDialog*>(&dialog) != nullptr) return u"question";
    return u"other dialog";
  }
  // What an error message shows: the title text and the code's message.
  std::u16string Error(int32_t titleId, int32_t code) const {
    return u"error " + texts_.texts.at(titleId) + ServerErrorMessage(code);
  }

  // Presses the button carrying `number` in the running server dialog.
  static Act Press(int32_t number) {
    return [number](ppDialog& dialog) {
      auto& frame = dynamic_cast<ppViewDialog&>(dialog);
      const ppViewList& views = frame.ContentView()->Subviews();
      for (int32_t i = 0; i < views.Count(); ++i) {
        if (auto* b = dynamic_cast<ppTextButton*>(views.At(i));
            b != nullptr && b->AlternatePicture() == number) {
          ClickIn(b->GetFrame())();
          return;
        }
      }
      ADD_FAILURE() << "no button " << number;
    };
  }
  static Act Escape() {
    return [](ppDialog&) { Key(plat::VK_ESCAPE)(); };
  }
  // The login typed into empty fields: the user name, a click into the password, the password.
  static std::vector<Act> TypeLogin(const std::string& user, const std::string& password) {
    return {[user](ppDialog&) { Type(user)(); },
            [](ppDialog& dialog) {
              plat::RECT frame;
              dynamic_cast<qxServerLoginDialog&>(dialog).PasswordField()->GetWindowFrame(&frame);
              ClickAt(frame.right - 10, frame.top + 5)();
            },
            [password](ppDialog&) { Type(password)(); }, Press(1)};
  }

  // The document packed as a save would pack it now.
  std::string Packed() {
    OwnedHandle h;
    ops_->PackWithViewValues(h.Get());
    return std::string(*h.Get(), size_t(MemGetSize(h.Get())));
  }
  void SetDescription(const char16_t* text) {
    RecordField(*doc_, "description").SetWideText(doc_->Record(), Vcon::WString(text));
  }
  std::u16string Description() const { return RecordField(*doc_, "description").WideText(doc_->Record()); }
  // The actions the server was asked for, in order.
  std::vector<std::string> Actions() const {
    std::vector<std::string> actions;
    for (const auto& request : server_->Requests()) actions.push_back(request.fields.at("action"));
    return actions;
  }
  // Logs in with the test account outside any save or open (its request is not a flow's).
  void LogInFirst() {
    Script({Press(1)});
    ASSERT_TRUE(exchange_->LoginToServer());
    EXPECT_TRUE(exchange_->LoggedIn());
    firstFlowRequest_ = server_->Requests().size();
  }
  // The save-in-progress flag was set while every request of the flows was answered, and is clear now.
  void ExpectFlagOnlyDuringRequests() {
    const auto requests = server_->Requests();
    for (size_t i = firstFlowRequest_; i < requests.size(); ++i)
      EXPECT_EQ(requests[i].probe, "saving") << requests[i].fields.at("action");
    EXPECT_FALSE(SaveInProgress.load());
    EXPECT_FALSE(ops_->SaveInProgress());
  }
  // A document with a local file, modified, and a record that says so.
  void LocalModifiedDocument() {
    doc_->DocumentFile() = ppFileSpec(Vcon::WString((demo_->Root() / "local.qxf").string().c_str()));
    doc_->SetSavedOnce(true);
    doc_->MarkModified();
  }

  std::unique_ptr<LoopbackDocumentServer> server_;
  fs::path saved_;
  std::unique_ptr<DemoSettings> demo_;
  std::unique_ptr<qxApplicationdb> application_;
  std::unique_ptr<zelvproDocFil> doc_;
  FixedViewSteps steps_;
  std::unique_ptr<DocumentFileOperations> ops_;
  std::unique_ptr<ServerExchange> exchange_;

  std::vector<Act> acts_;
  size_t next_ = 0;
  std::vector<std::u16string> seen_;
  plat::HWND front_ = nullptr;
  size_t firstFlowRequest_ = 0;
};

using Seen = std::vector<std::u16string>;

// ---- The server's address -----------------------------------------------------------------------

TEST(ServerAddressFile, FieldsAreReadAsSettingsFieldsAndAnythingMissingIsAStar) {
  struct Case {
    std::string bytes, host, path;
  } cases[] = {
      {"127.0.0.1\t/store", "127.0.0.1", "/store"},
      {"docs.example.com\t/qx/server.php\r\nignored\tlater line", "docs.example.com", "/qx/server.php"},
      {"\"quoted host\"\t\"/a\\\\b\\tc\"", "quoted host", "/a\\b\tc"},
      {"", "*", "*"},
      {"only-host", "only-host", "*"},
      {"only-host\n", "only-host", "*"},
      {"\t/path-without-host", "*", "/path-without-host"},
      {std::string("host\0\t/after-nul", 15), "host", "*"},
      {"a\rb\tc", "a", "b"},  // a lone CR ends the field, not the line
  };
  for (const Case& c : cases) {
    const ServerAddress address = ServerAddress::FromFileBytes(c.bytes);
    EXPECT_EQ(address.host, c.host) << c.bytes;
    EXPECT_EQ(address.path, c.path) << c.bytes;
  }
  // Each field is cut at 1023 bytes, and the next field still follows.
  const ServerAddress cut =
      ServerAddress::FromFileBytes(std::string(3000, 'h') + "\t" + std::string(1500, 'p'));
  EXPECT_EQ(cut.host, std::string(1023, 'h'));
  EXPECT_EQ(cut.path, std::string(1023, 'p'));
}

TEST_F(ServerExchangeTest, EveryRequestGoesToTheAddressFromIpTxtOrTheTextsAndWithoutBothTheLoginFails) {
  struct Case {
    const char* what;
    bool file;
    std::map<int32_t, std::u16string> addressTexts;
    const char* path;  // null: no request reaches the server
  } cases[] = {
      {"ip.txt", true, {{7510, u"wrong.invalid"}, {7511, u"/wrong"}}, "/store"},
      {"texts", false, {{7510, u"127.0.0.1"}, {7511, u"/from-texts"}}, "/from-texts"},
      {"neither", false, {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewServer();
    if (!c.file) RemoveAddressFile();
    texts_.texts.erase(7510);
    texts_.texts.erase(7511);
    texts_.texts.insert(c.addressTexts.begin(), c.addressTexts.end());
    if (c.path != nullptr) {
      Script({Press(1), Press(2)});
      EXPECT_FALSE(exchange_->SaveToServer());
      EXPECT_EQ(seen_, (Seen{u"login u/p", u"save "}));
      EXPECT_EQ(Actions(), (std::vector<std::string>{"login", "list-files"}));
      for (const auto& request : server_->Requests()) {
        EXPECT_EQ(request.path, c.path);
        EXPECT_EQ(request.Header("Host").rfind("127.0.0.1", 0), 0u) << request.Header("Host");
      }
    } else {
      Script({Press(1), Press(1), Press(2)});
      EXPECT_FALSE(exchange_->LoginToServer());
      EXPECT_EQ(seen_, (Seen{u"login u/p", Error(7605, -5), u"login u/p"}));
      EXPECT_TRUE(server_->Requests().empty());
    }
    ExpectAllActsRan();
    WriteAddressFile("127.0.0.1\t/store");
  }
}

// The demo's address file names an invented host under the reserved ".example" name: no name server
// knows it, so a login fails at once with the client's message over the login box, which comes back;
// neither the user nor a test waits for a server that is not there.
TEST_F(ServerExchangeTest, TheDemosAddressFailsTheLoginAtOnceWithTheLoginFailure) {
  std::ifstream built(DemoSettings::BuiltFolder() / "ip.txt", std::ios::binary);
  const std::string demoAddress((std::istreambuf_iterator<char>(built)), std::istreambuf_iterator<char>());
  ASSERT_NE(demoAddress.find(".example\t"), std::string::npos) << demoAddress;
  WriteAddressFile(demoAddress);
  // No proxy of the machine stands in for the name server.
  setenv("NO_PROXY", "*", 1);
  exchange_->SetCredentials(u"u", u"p");
  Script({Press(1), Press(1), Press(2)});
  const auto begun = std::chrono::steady_clock::now();
  EXPECT_FALSE(exchange_->LoginToServer());
  const auto took = std::chrono::steady_clock::now() - begun;
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  ExpectAllActsRan();
  EXPECT_EQ(seen_, (Seen{u"login u/p", Error(7605, -5), u"login u/p"}));
  EXPECT_TRUE(server_->Requests().empty());
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 3000);
}

TEST_F(ServerExchangeTest, TheLoginCarriesTheAgentLanguageAndTheApplicationsSignatureAndVersion) {
  Preferences().languageCode = 1030;
  ApplyDerivedSettings();
  exchange_->SetCredentials(u"u", u"p");
  LogInFirst();
  ExpectAllActsRan();
  EXPECT_NE(exchange_->Session(), nullptr);
  ASSERT_EQ(server_->Requests().size(), 1u);
  const testsupport::LoggedRequest login = server_->Requests()[0];
  EXPECT_EQ(login.Header("User-Agent"), "Zelvo Pro");
  Vcon::WString country, language;
  GetLanguageCodes(country, language);
  EXPECT_EQ(language, u"da");
  EXPECT_EQ(login.fields.at("country"), "da");
  EXPECT_EQ(login.fields.at("uid"), "u");
  EXPECT_EQ(login.fields.at("pw"), "p");
  // The signature and version travel with the requests after the login.
  Script({Escape()});
  exchange_->SaveToServer();
  const testsupport::LoggedRequest list = server_->Requests().back();
  EXPECT_EQ(list.fields.at("signature"),
            RecordField(*ApplicationRecordFile, "appSignature").Text(ApplicationRecord));
  EXPECT_EQ(list.fields.at("version"),
            RecordField(*ApplicationRecordFile, "appVersion").Text(ApplicationRecord));
  EXPECT_EQ(server_->Requests().size(), 2u) << "logged in already: no second login";
}

// ---- Logging in ---------------------------------------------------------------------------------

TEST_F(ServerExchangeTest, ARefusedLoginIsShownAndTheDialogComesBackWithWhatWasTyped) {
  struct Case {
    const char* what;
    std::string reply;  // empty: the server's own refusal of a wrong password (id 2)
    int32_t title, code;
  } cases[] = {
      {"with the server's id", "", 7600, 2},
      {"without an id", "<error>no</error>", 7605, -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewServer();
    if (!c.reply.empty()) server_->ReplyWith(c.reply, "login");
    exchange_->SetCredentials(u"u", u"wrong");
    Script({Press(1), Press(1), Press(2)});
    EXPECT_FALSE(exchange_->LoginToServer());
    ExpectAllActsRan();
    EXPECT_EQ(seen_, (Seen{u"login u/wrong", Error(c.title, c.code), u"login u/wrong"}));
    EXPECT_EQ(exchange_->Session(), nullptr) << "a refused attempt keeps no session";
  }
}

TEST_F(ServerExchangeTest, CancellingTheLoginEndsASaveWithFalseAndAnOpenWithNothingChanged) {
  SetDescription(u"kept");
  doc_->SetSavedOnce(true);
  Script({Press(2)});
  EXPECT_FALSE(exchange_->SaveToServer());
  ExpectAllActsRan();
  EXPECT_FALSE(SaveInProgress.load());
  EXPECT_FALSE(ops_->SaveInProgress());

  Script({Escape()});
  exchange_->OpenFromServer();
  ExpectAllActsRan();
  EXPECT_EQ(seen_, (Seen{u"login /"}));
  EXPECT_FALSE(exchange_->LoggedIn());
  EXPECT_TRUE(server_->Requests().empty());
  EXPECT_EQ(Description(), u"kept");
  EXPECT_TRUE(doc_->IsSavedOnce());
  EXPECT_FALSE(SaveInProgress.load());
  EXPECT_FALSE(ops_->SaveInProgress());
}

TEST_F(ServerExchangeTest, WhileTheFrameIsLockedEverySaveAndOpenLogsInAnewWithEmptyFields) {
  SetFrameLocked(true);
  exchange_->SetCredentials(u"u", u"p");
  for (int round = 0; round < 2; ++round) {
    std::vector<Act> acts = TypeLogin("u", "p");
    acts.push_back(Press(2));  // the save dialog
    Script(acts);
    EXPECT_FALSE(exchange_->SaveToServer());
    ExpectAllActsRan();
    EXPECT_EQ(seen_, (Seen{u"login /", u"save "}));
  }
  std::vector<Act> acts = TypeLogin("u", "p");
  acts.push_back(Press(2));  // the open dialog
  Script(acts);
  exchange_->OpenFromServer();
  ExpectAllActsRan();
  EXPECT_EQ(seen_, (Seen{u"login /", u"open  []"}));
  EXPECT_EQ(Actions(),
            (std::vector<std::string>{"login", "list-files", "login", "list-files", "login", "list-files"}));
  ExpectFlagOnlyDuringRequests();

  // Unlocked, the session of the last login serves every later save.
  SetFrameLocked(false);
  const size_t before = server_->Requests().size();
  Script({Press(2)});
  exchange_->SaveToServer();
  EXPECT_EQ(seen_, (Seen{u"save "}));
  EXPECT_EQ(server_->Requests().size(), before + 1);
}

// ---- Saving -------------------------------------------------------------------------------------

TEST_F(ServerExchangeTest, SaveUploadsThePackedDocumentUnderTheTrimmedName) {
  LocalModifiedDocument();
  exchange_->SetCredentials(u"u", u"p");
  exchange_->SetServerFileName(u"  k.qxf ");
  const std::string expected = Packed();
  Script({Press(1), Press(1)});
  EXPECT_TRUE(exchange_->SaveToServer());
  ExpectAllActsRan();
  EXPECT_EQ(seen_, (Seen{u"login u/p", u"save   k.qxf "}));
  ASSERT_EQ(server_->Documents().count("k.qxf"), 1u);
  EXPECT_EQ(server_->Documents().at("k.qxf"), expected) << "the server holds exactly the packed record";
  EXPECT_EQ(server_->Requests().back().fields.at("qxf-filename"), "k.qxf");
  EXPECT_EQ(exchange_->ServerFileName(), u"k.qxf");
  EXPECT_FALSE(doc_->IsSavedOnce()) << "the document no longer has a local file";
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(Actions(), (std::vector<std::string>{"login", "list-files", "upload"}));
  ExpectFlagOnlyDuringRequests();
}

TEST_F(ServerExchangeTest, OnlyAListedNameOfExactlyTheSameLettersAsksBeforeReplacing) {
  struct Case {
    const char* listed;
    std::vector<Act> answers;  // after the save dialog
    Seen seen;
    bool saved;
  } cases[] = {
      {"K.qxf", {}, {u"save k.qxf"}, true},
      {"k.qxf", {Press(2)}, {u"save k.qxf", u"alert Replace it?"}, false},
      {"k.qxf", {Press(1)}, {u"save k.qxf", u"alert Replace it?"}, true},
  };
  exchange_->SetCredentials(u"u", u"p");
  LogInFirst();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.listed);
    server_->Store(c.listed, "old bytes");
    LocalModifiedDocument();
    exchange_->SetServerFileName(u"k.qxf");
    std::vector<Act> acts{Press(1)};
    acts.insert(acts.end(), c.answers.begin(), c.answers.end());
    Script(acts);
    const size_t before = server_->Requests().size();
    EXPECT_EQ(exchange_->SaveToServer(), c.saved);
    ExpectAllActsRan();
    EXPECT_EQ(seen_, c.seen);
    EXPECT_EQ(server_->Requests().size(), before + (c.saved ? 2 : 1)) << "the list, then the upload";
    EXPECT_EQ(doc_->IsModified(), !c.saved);
    EXPECT_EQ(server_->Documents().at("k.qxf") != "old bytes", c.saved);
    EXPECT_FALSE(SaveInProgress.load());
    server_->Store("k.qxf", "old bytes");
  }
}

TEST_F(ServerExchangeTest, AFailedOrRefusedSaveIsShownAndKeepsTheDocumentAsItWas) {
  struct Case {
    const char* what;
    const char16_t* name;
    std::string uploadReply;  // empty: the server's own answer
    Seen seen;
  } cases[] = {
      {"a name of blanks", u"   ", "", {u"save    ", Error(7606, -11)}},
      {"a refused upload", u"k.qxf", "<error id=\"311\"/>", {u"save k.qxf", Error(7601, 311)}},
  };
  exchange_->SetCredentials(u"u", u"p");
  LogInFirst();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.uploadReply.empty()) server_->ReplyWith(c.uploadReply, "upload");
    LocalModifiedDocument();
    const Vcon::WString path = doc_->DocumentFile().path;
    exchange_->SetServerFileName(c.name);
    Script({Press(1), Press(1)});
    EXPECT_FALSE(exchange_->SaveToServer());
    ExpectAllActsRan();
    EXPECT_EQ(seen_, c.seen);
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_TRUE(doc_->IsSavedOnce()) << "the document keeps its local file";
    EXPECT_EQ(doc_->DocumentFile().path, path);
    EXPECT_TRUE(server_->Documents().empty());
  }
  ExpectFlagOnlyDuringRequests();
}

// ---- Opening ------------------------------------------------------------------------------------

TEST_F(ServerExchangeTest, OpenDownloadsTheChosenFileAndLoadsIt) {
  SetDescription(u"Kitchen from the server");
  server_->Store("plan.qxf", Packed());
  SetDescription(u"the open document");
  doc_->SetSavedOnce(true);
  exchange_->SetCredentials(u"u", u"p");
  Script({Press(1), Press(1)});
  exchange_->OpenFromServer();
  ExpectAllActsRan();
  EXPECT_EQ(seen_, (Seen{u"login u/p", u"open plan.qxf [plan.qxf]"}));
  EXPECT_EQ(Description(), u"Kitchen from the server");
  EXPECT_FALSE(doc_->IsSavedOnce());
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(exchange_->ServerFileName(), u"plan.qxf");
  EXPECT_EQ(Actions(), (std::vector<std::string>{"login", "list-files", "download"}));
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  ExpectFlagOnlyDuringRequests();
}

TEST_F(ServerExchangeTest, AModifiedDocumentIsAskedAboutFirstAndCancelSendsNothing) {
  doc_->MarkModified();
  Script({Escape()});
  exchange_->OpenFromServer();
  ExpectAllActsRan();
  EXPECT_EQ(seen_, (Seen{u"question"}));
  EXPECT_TRUE(server_->Requests().empty());
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_FALSE(SaveInProgress.load());
  EXPECT_FALSE(ops_->SaveInProgress());
}

TEST_F(ServerExchangeTest, AFailedOrRefusedOpenIsShownAndLeavesTheDocumentAsItWas) {
  struct Case {
    const char* what;
    std::string stored;         // the bytes stored under "plan.qxf"
    std::string downloadReply;  // empty: the server's own answer
    Seen seen;
    bool box;  // the load's own message box
  } cases[] = {
      {"refused",
       "x",
       "<error><code id=\"302\"/></error>",
       {u"open plan.qxf [plan.qxf]", Error(7602, 302)},
       false},
      {"no data", "x", "<accept type=\"download\"/>", {u"open plan.qxf [plan.qxf]", Error(7604, -9)}, false},
      {"damaged document", "", "", {u"open plan.qxf [plan.qxf]"}, true},
  };
  const std::string whole = Packed();
  const std::string damaged = whole.substr(0, whole.size() / 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewServer();
    LogInFirst();
    // A document cut short is damaged.
    server_->Store("plan.qxf", c.stored.empty() ? damaged : c.stored);
    if (!c.downloadReply.empty()) server_->ReplyWith(c.downloadReply, "download");
    plat::ClearMessageBoxLog();
    SetDescription(u"the open document");
    doc_->SetSavedOnce(true);
    doc_->SetModified(false);
    std::vector<Act> acts{Press(1)};
    if (!c.box) acts.push_back(Press(1));
    Script(acts);
    exchange_->OpenFromServer();
    ExpectAllActsRan();
    EXPECT_EQ(seen_, c.seen);
    EXPECT_EQ(plat::MessageBoxLog().size(), c.box ? 1u : 0u);
    EXPECT_EQ(Description(), u"the open document");
    EXPECT_TRUE(doc_->IsSavedOnce());
    EXPECT_FALSE(doc_->IsModified());
    ExpectFlagOnlyDuringRequests();
  }
}

// ---- Deleting from the open dialog --------------------------------------------------------------

TEST_F(ServerExchangeTest, DeleteFromTheOpenDialogAsksSendsAndShowsTheOutcome) {
  struct Case {
    const char* what;
    std::vector<Act> afterDelete;  // answers after the alert
    std::function<void(LoopbackDocumentServer&)> prepare;
    Seen seen;
    std::vector<std::string> actions;
  } cases[] = {
      {"accepted",
       {Press(1)},
       nullptr,
       {u"open a.qxf [a.qxf,b.qxf]", u"alert Delete it?", u"open  [b.qxf]"},
       {"list-files", "delete"}},
      {"declined",
       {Press(2)},
       nullptr,
       {u"open a.qxf [a.qxf,b.qxf]", u"alert Delete it?", u"open  [a.qxf,b.qxf]"},
       {"list-files"}},
      {"refused with an id",
       {Press(1), Press(1)},
       [](LoopbackDocumentServer& s) { s.ReplyWith("<error id=\"313\"/>", "delete"); },
       {u"open a.qxf [a.qxf,b.qxf]", u"alert Delete it?", u"error Delete refused (313)",
        u"open  [a.qxf,b.qxf]"},
       {"list-files", "delete"}},
      {"connection dropped",
       {Press(1), Press(1), Press(1)},
       [](LoopbackDocumentServer& s) { s.SetFault(Fault::DropMidBody, 0, "delete"); },
       {u"open a.qxf [a.qxf,b.qxf]", u"alert Delete it?", u"error Open failed", u"error Delete refused",
        u"open  [a.qxf,b.qxf]"},
       {"list-files", "delete"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewServer();
    server_->Store("a.qxf", "A");
    server_->Store("b.qxf", "B");
    LogInFirst();
    if (c.prepare) c.prepare(*server_);
    std::vector<Act> acts{Press(3)};
    acts.insert(acts.end(), c.afterDelete.begin(), c.afterDelete.end());
    acts.push_back(Press(2));  // the open dialog is cancelled at last
    Script(acts);
    exchange_->OpenFromServer();
    ExpectAllActsRan();
    ASSERT_EQ(seen_.size(), c.seen.size());
    for (size_t i = 0; i < seen_.size(); ++i) {
      // The client failure's description follows its title line; only the title is the flow's.
      EXPECT_EQ(seen_[i].substr(0, c.seen[i].size()), c.seen[i]) << i;
    }
    std::vector<std::string> actions = Actions();
    actions.erase(actions.begin());  // the login
    EXPECT_EQ(actions, c.actions);
    EXPECT_TRUE(exchange_->ServerFileName().empty());
    ExpectFlagOnlyDuringRequests();
  }
}

TEST_F(ServerExchangeTest, AnAcceptedDeleteForgetsTheServerNameAndARefusedOneKeepsIt) {
  exchange_->SetCredentials(u"u", u"p");
  LogInFirst();
  server_->Store("a.qxf", "A");
  server_->Store("b.qxf", "B");
  exchange_->SetServerFileName(u"a.qxf");
  EXPECT_EQ(exchange_->SendDeleteRequest(u"missing.qxf").find(u"<accept"), std::u16string::npos);
  EXPECT_EQ(exchange_->ServerFileName(), u"a.qxf");
  const Vcon::WString reply = exchange_->SendDeleteRequest(u"a.qxf");
  EXPECT_TRUE(exchange_->ServerFileName().empty());
  std::unique_ptr<ServerFileList> list(exchange_->ParseFileList(reply));
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ((*list)[0].name, u"b.qxf");
  exchange_->DeleteFileList(list.release());
}

}  // namespace
