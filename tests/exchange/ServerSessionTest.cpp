// The document server client against the loopback HTTPS document server of tests/support/.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "exchange/ParseServerFileList.h"
#include "exchange/Save2ServerFailure.h"
#include "exchange/Save2ServerSession.h"
#include "foundation/OwnedHandle.h"
#include "platform/CertificateQuestion.h"
#include "platform/HeadlessDriver.h"
#include "platform/HttpsClient.h"
#include "platform/MessageBox.h"
#include "support/LoopbackDocumentServer.h"

namespace {

using testsupport::LoopbackDocumentServer;
using Fault = LoopbackDocumentServer::Fault;

void Fill(Handle h, const std::string& bytes) {
  MemSetSize(h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
}

std::string Bytes(Handle h) { return std::string(*h, size_t(MemGetSize(h))); }

// The code a call throws, or 0.
template <class Call>
int32_t FailureOf(Call call) {
  try {
    call();
  } catch (const Save2ServerFailure& failure) {
    return failure.GetCode();
  }
  return 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class ServerSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    // A proxy of the machine that runs the tests must not stand between the client and the loopback.
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    StartServer(LoopbackDocumentServer::Identity::Trusted);
  }
  void TearDown() override { plat::HeadlessDriver::Reset(); }

  void StartServer(LoopbackDocumentServer::Identity identity) {
    server_.reset();
    server_ = std::make_unique<LoopbackDocumentServer>(identity);
    plat::SetHttpsPortForTests(server_->Port());
    plat::SetHttpsAuthorityFileForTests(LoopbackDocumentServer::AuthorityFile());
  }

  static std::unique_ptr<Save2ServerSession> NewSession(const char16_t* uid = u"u",
                                                        const char16_t* pw = u"p") {
    auto session = std::make_unique<Save2ServerSession>("Zelvo Pro", "127.0.0.1", "/qx/server.php");
    session->SetCredentials(uid, pw, u"dk");
    session->SetSignatureVersion(u"SIG", u"7.1");
    return session;
  }
  std::unique_ptr<Save2ServerSession> LoggedIn() {
    auto session = NewSession();
    EXPECT_NE(session->Login().find("<accept"), std::string::npos);
    return session;
  }

  std::unique_ptr<LoopbackDocumentServer> server_;
};

TEST_F(ServerSessionTest, UploadSendsTheExactFormWithOneContentTypeHeader) {
  auto session = LoggedIn();
  OwnedHandle document;
  Fill(document.Get(), "\xFB\xFF");
  const Vcon::String reply = session->Upload(document.Get(), u"a\"b#c.qxf");
  EXPECT_NE(reply.find("<accept type=\"upload\""), std::string::npos) << reply;

  const auto requests = server_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  const testsupport::LoggedRequest& upload = requests[1];
  EXPECT_EQ(upload.body,
            "action=upload&uid=u&pw=p&country=dk&signature=SIG&version=7.1"
            "&qxf-filename=a%2522b%2523c.qxf&qxf-filesize=10&qxf-filedata=%2B%2F8%3D");
  EXPECT_EQ(upload.CountHeader("Content-Type"), 1);
  EXPECT_EQ(upload.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(upload.Header("User-Agent"), "Zelvo Pro");
  for (const char* absent : {"Expect", "Cookie", "Authorization", "Accept"}) {
    EXPECT_EQ(upload.CountHeader(absent), 0) << absent;
  }
  // The server decodes the form once: it stores the name with its escapes and the bytes decoded.
  EXPECT_EQ(server_->Documents().at("a%22b%23c.qxf"), "\xFB\xFF");
}

TEST_F(ServerSessionTest, EmptyDocumentAndLongDocumentUpload) {
  auto session = LoggedIn();
  OwnedHandle empty;
  EXPECT_NE(session->Upload(empty.Get(), u"empty.qxf").find("<accept"), std::string::npos);
  EXPECT_TRUE(
      EndsWith(server_->Requests().back().body, "&qxf-filename=empty.qxf&qxf-filesize=0&qxf-filedata="));
  EXPECT_EQ(server_->Documents().at("empty.qxf"), "");

  // Several lines of Base64: the size field counts the escaped text with its line breaks.
  std::string bytes(1000, '\0');
  std::mt19937 random(7);
  for (char& b : bytes) b = char(random());
  OwnedHandle document;
  Fill(document.Get(), bytes);
  EXPECT_NE(session->Upload(document.Get(), u"50% off.qxf").find("<accept"), std::string::npos);
  EXPECT_NE(server_->Requests().back().body.find("&qxf-filename=50%25 off.qxf&"), std::string::npos);
  EXPECT_EQ(server_->Documents().at("50% off.qxf"), bytes);
}

TEST_F(ServerSessionTest, ConsecutiveRequestsShareOneConnection) {
  auto session = LoggedIn();
  OwnedHandle document;
  Fill(document.Get(), "plan");
  session->Upload(document.Get(), u"x.qxf");
  session->ListFiles();
  OwnedHandle back;
  session->Download(back.Get(), u"x.qxf");
  session->Delete(u"x.qxf");
  const auto requests = server_->Requests();
  ASSERT_EQ(requests.size(), 5u);
  for (const auto& request : requests) EXPECT_EQ(request.connection, requests[0].connection);
}

TEST_F(ServerSessionTest, CallsBeforeLoginThrowEightAndSendNothing) {
  auto session = NewSession();
  OwnedHandle document;
  EXPECT_EQ(FailureOf([&] { session->ListFiles(); }), 8);
  EXPECT_EQ(FailureOf([&] { session->Upload(document.Get(), u"a.qxf"); }), 8);
  EXPECT_EQ(FailureOf([&] { session->Delete(u"a.qxf"); }), 8);
  EXPECT_EQ(FailureOf([&] { session->Download(document.Get(), u"a.qxf"); }), 8);
  EXPECT_TRUE(server_->Requests().empty());
  EXPECT_FALSE(session->IsConnected());
}

TEST_F(ServerSessionTest, FormCharactersInCredentialsCannotSplitTheForm) {
  server_->AddAccount("a&b=c", "p%q+r=s");
  auto session = NewSession(u"a&b=c", u"p%q+r=s");
  session->SetSignatureVersion(u"S\tG\u007f", u"v\xD800");  // control characters, a lone surrogate
  EXPECT_NE(session->Login().find("<accept"), std::string::npos);
  EXPECT_EQ(server_->Requests().back().body, "action=login&uid=a%26b%3Dc&pw=p%25q%2Br%3Ds&country=dk");
  session->ListFiles();
  EXPECT_EQ(
      server_->Requests().back().body,
      "action=list-files&uid=a%26b%3Dc&pw=p%25q%2Br%3Ds&country=dk&signature=S%09G%7F&version=v\xEF\xBF\xBD");
  EXPECT_EQ(server_->Requests().back().fields.at("pw"), "p%q+r=s");
}

TEST_F(ServerSessionTest, ListedNamesComeBackDecoded) {
  server_->Store("a%22b", "1", "2024-01-02 03:04");
  server_->Store("a%2fb", "2");
  server_->Store("k\xC3\xB8kken \xFF.qxf", "3");
  auto session = LoggedIn();
  const Vcon::String reply = session->ListFiles();
  const auto list = ParseServerFileList(reply);
  ASSERT_EQ(list->size(), 3u) << reply;
  EXPECT_EQ((*list)[0].name, u"a\"b");
  EXPECT_EQ((*list)[0].date, u"2024-01-02 03:04");
  EXPECT_EQ((*list)[1].name, u"a%2fb");
  EXPECT_EQ((*list)[2].name, u"k\u00F8kken \uFFFD.qxf");
}

TEST_F(ServerSessionTest, RepliesAreCleanedOfTabsLeadingBlanksAndNulBytes) {
  server_->Store("plan.qxf", "1");
  auto session = LoggedIn();
  server_->SetFault(Fault::LeadingBlanks);
  EXPECT_EQ(session->ListFiles().rfind("<?xml version=", 0), 0u);
  server_->SetFault(Fault::NulInBody);
  const Vcon::String withNul = session->ListFiles();
  EXPECT_EQ(withNul.find('\0'), std::string::npos);
  EXPECT_EQ(ParseServerFileList(withNul)->size(), 1u) << withNul;
  server_->SetFault(Fault::None);
  server_->ReplyWith(" \t \t\t  ");
  EXPECT_EQ(session->ListFiles(), "");
  server_->ReplyWith("<file name=\"pl\tan\" date=\"\t1\"/>\r\n");
  const Vcon::String tabbed = session->ListFiles();
  EXPECT_EQ(tabbed, "<file name=\"plan\" date=\"1\"/>\r\n");
  server_->ReplyWith("");
  EXPECT_EQ(session->ListFiles(), "");
}

TEST_F(ServerSessionTest, DownloadFillsTheHandleWithTheStoredBytes) {
  std::string bytes(5000, '\0');
  std::mt19937 random(11);
  for (char& b : bytes) b = char(random());
  server_->Store("big.qxf", bytes);
  server_->Store("small.qxf", "\xFB\xFF");
  auto session = LoggedIn();
  OwnedHandle document;
  EXPECT_EQ(session->Download(document.Get(), u"big.qxf"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<accept type=\"download\"/>");
  EXPECT_EQ(Bytes(document.Get()), bytes);
  session->Download(document.Get(), u"small.qxf");
  EXPECT_EQ(Bytes(document.Get()), "\xFB\xFF");
}

TEST_F(ServerSessionTest, DownloadRepliesWithoutUsableData) {
  auto session = LoggedIn();
  OwnedHandle document;
  Fill(document.Get(), "old");
  const struct {
    const char* reply;
    int32_t code;
  } kCases[] = {
      {"<accept><data>QUJD", 9},                 // no "</data>"
      {"<accept>QUJD</data>", 9},                // no "<data>"
      {"<accept></data>x<data>QUJD</data>", 9},  // "</data>" before "<data>"
      {"<accept><data>*UJD</data>", 11},         // not Base64
      {"<accept><data>Q</data>", 0},             // a short group only: no bytes
  };
  for (const auto& c : kCases) {
    server_->ReplyWith(c.reply);
    EXPECT_EQ(FailureOf([&] { session->Download(document.Get(), u"a.qxf"); }), c.code) << c.reply;
  }
  EXPECT_EQ(Bytes(document.Get()), "");

  Fill(document.Get(), "old");
  for (const char* refused :
       {"<error><refused id=\"3\"/></error><data>QUJD</data>", "<data>QUJD</data><error>"}) {
    server_->ReplyWith(refused);
    EXPECT_EQ(session->Download(document.Get(), u"a.qxf"), refused);
    EXPECT_EQ(Bytes(document.Get()), "old");
  }
  // The server's own refusal for a missing file. (The session goes first: a server stops only when
  // its kept-alive connections have closed.)
  session.reset();
  StartServer(LoopbackDocumentServer::Identity::Trusted);
  auto fresh = LoggedIn();
  EXPECT_NE(fresh->Download(document.Get(), u"missing.qxf").find("id=\"3\""), std::string::npos);
  EXPECT_EQ(Bytes(document.Get()), "old");
}

TEST_F(ServerSessionTest, ServerErrorsAndRefusalsAreReplyText) {
  auto session = LoggedIn();
  server_->SetFault(Fault::Status500Html);
  const Vcon::String page = session->ListFiles();
  EXPECT_NE(page.find("<html>"), std::string::npos);
  EXPECT_EQ(page.find("<accept"), std::string::npos);
  server_->SetFault(Fault::Refuse, 17);
  const Vcon::String refused = session->Login();
  EXPECT_NE(refused.find("id=\"17\""), std::string::npos);
  EXPECT_EQ(refused.find("<accept"), std::string::npos);
  // A wrong password is refused by the server, not failed by the client.
  server_->SetFault(Fault::None);
  auto wrong = NewSession(u"u", u"wrong");
  EXPECT_NE(wrong->Login().find("id=\"2\""), std::string::npos);
}

TEST_F(ServerSessionTest, BrokenConnectionsThrowAndLeaveTheSessionUsable) {
  auto session = LoggedIn();
  server_->SetFault(Fault::DropMidBody);
  EXPECT_EQ(FailureOf([&] { session->ListFiles(); }), 7);
  server_->SetFault(Fault::None);
  EXPECT_NE(session->ListFiles().find("<accept"), std::string::npos);

  plat::SetHttpsPortForTests(LoopbackDocumentServer::PortWithoutListener());
  const auto start = std::chrono::steady_clock::now();
  auto nobody = NewSession();
  EXPECT_EQ(FailureOf([&] { nobody->Login(); }), 5);
  EXPECT_EQ(FailureOf([&] { nobody->ListFiles(); }), 5);  // connected all the same: the request fails
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ServerSessionTest, UntrustedIssuerAsksTheUser) {
  StartServer(LoopbackDocumentServer::Identity::Untrusted);
  auto session = NewSession();
  plat::QueueCertificateAnswer(false);
  EXPECT_EQ(FailureOf([&] { session->Login(); }), 10);
  EXPECT_TRUE(server_->Requests().empty());

  plat::QueueCertificateAnswer(true);
  const Vcon::String reply = session->Login();
  EXPECT_NE(reply.find("<accept type=\"login\""), std::string::npos);
  ASSERT_EQ(server_->Requests().size(), 1u);
  EXPECT_EQ(server_->Requests()[0].body, "action=login&uid=u&pw=p&country=dk");

  const auto questions = plat::CertificateQuestionLog();
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0].host, "127.0.0.1");
  EXPECT_FALSE(questions[0].accepted);
  EXPECT_TRUE(questions[1].accepted);

  // Accepting held for that request only; unanswered, the question becomes a warning box whose
  // default is Cancel.
  plat::ClearMessageBoxLog();
  EXPECT_EQ(FailureOf([&] { session->ListFiles(); }), 10);
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_EQ(plat::MessageBoxLog()[0].answer, plat::IDCANCEL);
}

TEST_F(ServerSessionTest, OtherCertificateFailuresAskNothing) {
  StartServer(LoopbackDocumentServer::Identity::OtherHost);
  plat::QueueCertificateAnswer(true);
  auto session = NewSession();
  EXPECT_EQ(FailureOf([&] { session->Login(); }), 5);
  EXPECT_TRUE(plat::CertificateQuestionLog().empty());
  EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(ServerSessionTest, ADesktopResetDropsTheOverridesAndQueuedAnswers) {
  plat::QueueCertificateAnswer(true);
  plat::HeadlessDriver::Reset();
  plat::SetHttpsPortForTests(server_->Port());
  // The authority file is gone, so the server's issuer is unknown; the queued acceptance is gone too,
  // so the question becomes a box, whose default cancels.
  auto session = NewSession();
  EXPECT_EQ(FailureOf([&] { session->Login(); }), 10);
  ASSERT_EQ(plat::CertificateQuestionLog().size(), 1u);
  EXPECT_FALSE(plat::CertificateQuestionLog()[0].accepted);
  EXPECT_EQ(plat::MessageBoxLog().size(), 1u);
}

TEST_F(ServerSessionTest, HostAndPathAreMadeCanonical) {
  const struct {
    const char* text;
    const char* canonical;
  } kCases[] = {{"/qx/server.php", "/qx/server.php"},
                {"/a b/./c/../d.php", "/a%20b/d.php"},
                {"/x/\"<q>\"", "/x/%22%3Cq%3E%22"},
                {"/../../up", "/up"},
                {"/dir/.", "/dir/"},
                {"/k\xC3\xB8", "/k%C3%B8"},
                {"example.com", "example.com"}};
  for (const auto& c : kCases)
    EXPECT_EQ(plat::HttpsClient::Canonical(c.text).value_or("<none>"), c.canonical);
  EXPECT_FALSE(plat::HttpsClient::Canonical("").has_value());
  EXPECT_EQ(FailureOf([] { Save2ServerSession("Zelvo Pro", "", "/p"); }), 2);
  EXPECT_EQ(FailureOf([] { Save2ServerSession("Zelvo Pro", "h", ""); }), 2);
  // The canonical path is the one requested.
  auto session = std::make_unique<Save2ServerSession>("Zelvo Pro", "127.0.0.1", "qx/./server.php");
  session->SetCredentials(u"u", u"p", u"dk");
  EXPECT_NE(session->Login().find("<accept"), std::string::npos);
}

}  // namespace
