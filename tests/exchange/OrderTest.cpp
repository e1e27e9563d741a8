// The order by e-mail and the order over TCP, from the templates in a folder of their own, against a
// document whose packed bytes the test knows and a loopback TCP peer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FakeOrderDocument.h"
#include "LoopbackOrderPeer.h"
#include "exchange/Base64Codec.h"
#include "exchange/MailOrder.h"
#include "exchange/MailProvider.h"
#include "exchange/SendOrder.h"
#include "foundation/CurrentFolder.h"
#include "foundation/FileDialogs.h"
#include "platform/HeadlessDriver.h"
#include "platform/LocalDate.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/TcpSocket.h"

namespace {

namespace fs = std::filesystem;
using Mode = LoopbackOrderPeer::Mode;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// 1,000 bytes with NULs, every byte value, and the two placeholders inside.
std::string PackedDocument() {
  std::string bytes(1000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 131 + 7);
  bytes.replace(10, 6, "$FILE$");
  bytes.replace(900, 8, "$LENGTH$");
  return bytes;
}

std::u16string Folder(const fs::path& path) {
  std::u16string folder = path.u16string();
  for (char16_t& c : folder)
    if (c == u'/') c = u'\\';
  return folder + u"\\";
}

class OrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::SetTcpReceiveTimeLimitForTests(300);
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() /
            ("planner_order_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(root_);
    fs::create_directories(root_ / "settings");
    previousFolder_ = fs::current_path();
    previousProgramFolder_ = ProgramFolder;
    ProgramFolder = Folder(root_);
    fs::current_path(root_);
    document_.file_.path = u"/somewhere/else/kitchen.qxf";
    document_.hasFile_ = true;
    document_.modified_ = true;
  }
  void TearDown() override {
    fs::current_path(previousFolder_);
    ProgramFolder = previousProgramFolder_;
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    plat::HeadlessDriver::Reset();
  }

  void WriteRequestTemplates(const std::string& head, const std::string& body) {
    WriteAll(root_ / "settings/inet1.txt", head);
    WriteAll(root_ / "settings/inet2.txt", body);
  }
  std::string OpenCommandOf(const char* relative) const {
    return "open \"" + Vcon::Utf8FromUtf16(Folder(root_)) + relative + "\"";
  }
  static std::vector<std::string> ShellLog() {
    std::vector<std::string> log;
    for (const plat::ShellExecuteRecord& record : plat::ShellExecuteLog())
      log.push_back(Vcon::Utf8FromUtf16(record.verb) + " \"" + Vcon::Utf8FromUtf16(record.file) + "\"");
    return log;
  }

  fs::path root_;
  fs::path previousFolder_;
  Vcon::WString previousProgramFolder_;
  FakeOrderDocument document_{PackedDocument()};
};

// The Base64 text of a part of a message file after its header line `marker`, decoded.
std::string DecodedPart(const std::string& message, const std::string& marker) {
  size_t at = message.find(marker);
  if (at == std::string::npos) return "<no part>";
  at = message.find("\r\n\r\n", at) + 4;
  const size_t end = message.find("--=_order_part_boundary", at);
  std::string text = message.substr(at, end - at);
  std::erase(text, '\r');
  std::erase(text, '\n');
  std::string bytes(text.size(), '\0');
  bytes.resize(size_t(Base64Codec().Decode(text, bytes.data())));
  return bytes;
}

TEST_F(OrderTest, AMailCarriesTheSavedDocumentAndTheDocumentStaysAsItWas) {
  plat::SetLocalDateForTests(2026, 12, 7);
  WriteAll(root_ / "settings/mail.txt", "Shop\tshop@example.test\torder.qxf\tNew order\r\nHello");
  MailProvider provider;
  EXPECT_TRUE(MailOrder(document_, nullptr, &provider));

  EXPECT_EQ(document_.saves_, 1);
  EXPECT_EQ(Vcon::Utf8FromUtf16(document_.savedTo_), Vcon::Utf8FromUtf16(Folder(root_)) + "ordre.qxf");
  EXPECT_FALSE(fs::exists(root_ / "ordre.qxf"));
  // File record, has-file and the modified flag the save had cleared.
  EXPECT_EQ(Vcon::Utf8FromUtf16(document_.file_.path), "/somewhere/else/kitchen.qxf");
  EXPECT_TRUE(document_.hasFile_);
  EXPECT_TRUE(document_.modified_);

  const fs::path message = root_ / "settings/outbox/order-20261207-000000.eml";
  ASSERT_TRUE(fs::exists(message));
  EXPECT_EQ(Vcon::Utf8FromUtf16(provider.LastMessageFile()),
            Vcon::Utf8FromUtf16(Folder(root_)) + "settings\\outbox\\order-20261207-000000.eml");
  const std::string text = ReadAll(message);
  EXPECT_TRUE(text.starts_with("To: \"Shop\" <shop@example.test>\r\nSubject: New order\r\n")) << text;
  EXPECT_NE(text.find("X-Unsent: 1\r\n"), std::string::npos);
  EXPECT_NE(text.find("Content-Disposition: attachment; filename=\"order.qxf\"\r\n"), std::string::npos);
  EXPECT_EQ(DecodedPart(text, "Content-Type: text/plain"), "Hello\r\n");
  EXPECT_TRUE(DecodedPart(text, "Content-Type: application/octet-stream") == PackedDocument());
  EXPECT_EQ(ShellLog(),
            std::vector<std::string>{OpenCommandOf("settings\\outbox\\order-20261207-000000.eml")});
  EXPECT_TRUE(plat::MessageBoxLog().empty());

  // A second order in the same second takes the next free name.
  EXPECT_TRUE(MailOrder(document_, nullptr, &provider));
  EXPECT_TRUE(fs::exists(root_ / "settings/outbox/order-20261207-000000-2.eml"));
}

TEST_F(OrderTest, ATemplateThatEndsAfterTheSubjectGivesAnEmptyBody) {
  WriteAll(root_ / "settings/mail.txt", "Shop\tshop@example.test\torder.qxf\tNew order");
  MailProvider provider;
  ASSERT_TRUE(MailOrder(document_, nullptr, &provider));
  const std::string text = ReadAll(Vcon::ResolvePosixPath(std::u16string_view(provider.LastMessageFile())));
  EXPECT_EQ(DecodedPart(text, "Content-Type: text/plain"), "");
}

// A save that fails (its own box already told the user) offers no mail with an empty attachment.
TEST_F(OrderTest, AFailedSaveHandsNoMailOverAndLeavesNoOrderFile) {
  WriteAll(root_ / "settings/mail.txt", "Shop\tshop@example.test\torder.qxf\tNew order\r\nHello");
  document_.failSave_ = true;
  document_.modified_ = true;
  MailProvider provider;
  EXPECT_FALSE(MailOrder(document_, nullptr, &provider));
  EXPECT_EQ(document_.saves_, 1);
  EXPECT_TRUE(ShellLog().empty());
  EXPECT_FALSE(fs::exists(root_ / "settings/outbox"));
  EXPECT_FALSE(fs::exists(root_ / "ordre.qxf"));
  EXPECT_EQ(Vcon::Utf8FromUtf16(document_.file_.path), "/somewhere/else/kitchen.qxf");
  EXPECT_TRUE(document_.modified_);
}

// The save fails, its box offers Save As and the user saves under another name: the mail carries that
// file, never the order file left empty, and the user's file stays.
TEST_F(OrderTest, AFailedSaveCompletedBySaveAsMailsTheDocumentAsSaved) {
  WriteAll(root_ / "settings/mail.txt", "Shop\tshop@example.test\torder.qxf\tNew order\r\nHello");
  document_.failSave_ = true;
  document_.saveAsPath_ = Folder(root_) + u"mine.qxf";
  MailProvider provider;
  ASSERT_TRUE(MailOrder(document_, nullptr, &provider));
  const std::string text = ReadAll(Vcon::ResolvePosixPath(std::u16string_view(provider.LastMessageFile())));
  EXPECT_TRUE(DecodedPart(text, "Content-Type: application/octet-stream") == PackedDocument());
  EXPECT_FALSE(fs::exists(root_ / "ordre.qxf"));
  EXPECT_EQ(ReadAll(root_ / "mine.qxf"), PackedDocument());
}

TEST_F(OrderTest, WithoutAMailTemplateOneBoxAndNothingIsHandedOver) {
  document_.modified_ = false;
  document_.hasFile_ = false;
  EXPECT_FALSE(MailOrder(document_, nullptr));
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_NE(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].text).find("./settings/mail.txt"), std::string::npos)
      << "the path is not shown as the user's system writes it";
  EXPECT_TRUE(ShellLog().empty());
  EXPECT_FALSE(fs::exists(root_ / "ordre.qxf"));
  EXPECT_FALSE(fs::exists(root_ / "settings/outbox"));
  EXPECT_FALSE(document_.hasFile_);
  EXPECT_FALSE(document_.modified_);
  EXPECT_EQ(fs::current_path(), root_);
}

TEST_F(OrderTest, TheOrderRunsInTheProgramFolderAndPutsTheCurrentFolderBack) {
  WriteAll(root_ / "settings/mail.txt", "S\ta@b\tx.qxf\tT\r\n");
  fs::create_directories(root_ / "elsewhere");
  fs::current_path(root_ / "elsewhere");
  EXPECT_TRUE(MailOrder(document_, nullptr));
  EXPECT_EQ(fs::current_path(), root_ / "elsewhere");
  EXPECT_EQ(ShellLog().size(), 1u);
}

TEST_F(OrderTest, TheRequestCarriesTheDocumentAndTheAnswerIsCutWrittenAndOpened) {
  LoopbackOrderPeer peer(Mode::kAnswer, {"junk<ht", "ml>ok</html>tail"});
  plat::SetTcpPortForTests(peer.Port());
  WriteRequestTemplates("POST /o HTTP/1.1\r\nContent-Length: $LENGTH$\r\n\r\n", "X$FILE$Y");
  plat::QueueMessageBoxAnswer(plat::IDYES);
  document_.saving_ = true;

  EXPECT_EQ(SendOrder(document_, "https://127.0.0.1/orders"), SendOrderResult::kAnswerOpened);
  EXPECT_EQ(peer.Connections(), 1);
  EXPECT_EQ(peer.Head(), "POST /o HTTP/1.1\r\nContent-Length: 1002\r\n\r\n");
  EXPECT_TRUE(peer.Body() == "X" + PackedDocument() + "Y");
  EXPECT_EQ(ReadAll(root_ / "settings/output.htm"), "<html>ok</html>");
  EXPECT_EQ(ShellLog(), std::vector<std::string>{OpenCommandOf("settings\\output.htm")});
  // The consent box, and nothing after it.
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_EQ(plat::MessageBoxLog()[0].style, plat::MB_YESNO | plat::MB_ICONQUESTION);
  EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption), "Internet Access");
  EXPECT_FALSE(document_.savingWhilePacked_);
  EXPECT_TRUE(document_.saving_);
}

TEST_F(OrderTest, ABodyWithoutThePlaceholderGoesUnchangedAndAnAnswerWithoutMarkupIsEmpty) {
  LoopbackOrderPeer peer(Mode::kAnswer, {"HTTP/1.1 200 OK\r\n\r\nthanks"});
  plat::SetTcpPortForTests(peer.Port());
  WriteRequestTemplates("POST /o HTTP/1.1\r\nContent-Length: $LENGTH$\r\n\r\n", "order=7");
  WriteAll(root_ / "settings/output.htm", "an earlier answer");
  plat::QueueMessageBoxAnswer(plat::IDYES);
  EXPECT_EQ(SendOrder(document_, "127.0.0.1"), SendOrderResult::kAnswerOpened);
  EXPECT_EQ(peer.Head(), "POST /o HTTP/1.1\r\nContent-Length: 7\r\n\r\n");
  EXPECT_EQ(peer.Body(), "order=7");
  EXPECT_EQ(ReadAll(root_ / "settings/output.htm"), "");
  EXPECT_EQ(ShellLog().size(), 1u);
}

TEST_F(OrderTest, WithoutConsentNothingIsPackedOrSent) {
  LoopbackOrderPeer peer(Mode::kAnswer, {"<x>"});
  plat::SetTcpPortForTests(peer.Port());
  WriteRequestTemplates("H $LENGTH$\r\n\r\n", "$FILE$");
  plat::QueueMessageBoxAnswer(plat::IDNO);
  EXPECT_EQ(SendOrder(document_, "127.0.0.1"), SendOrderResult::kRefused);
  EXPECT_EQ(peer.Connections(), 0);
  EXPECT_EQ(document_.packs_, 0);
  EXPECT_FALSE(fs::exists(root_ / "settings/output.htm"));
}

TEST_F(OrderTest, AFailedExchangeShowsOneBoxAndWritesAndOpensNothing) {
  struct Case {
    Mode mode;
    const char* said;
    SendOrderResult result;
  };
  const Case cases[] = {
      {Mode::kNoListener, "could not be reached: the connection failed (Connection refused).",
       SendOrderResult::kNotConnected},
      {Mode::kSilent, "did not answer: no answer to receive within 300 milliseconds.",
       SendOrderResult::kNoAnswer},
      {Mode::kCloseAfterHead, "did not answer: the service closed the connection.",
       SendOrderResult::kNoAnswer},
  };
  WriteRequestTemplates("POST /o HTTP/1.1\r\nContent-Length: $LENGTH$\r\n\r\n", "X$FILE$Y");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    plat::ClearMessageBoxLog();
    plat::ClearShellExecuteLog();
    LoopbackOrderPeer peer(c.mode, {"<never/>"});
    plat::SetTcpPortForTests(peer.Port());
    plat::QueueMessageBoxAnswer(plat::IDYES);
    document_.saving_ = true;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(SendOrder(document_, "127.0.0.1"), c.result);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    ASSERT_EQ(plat::MessageBoxLog().size(), 2u);  // the consent, then the failure
    const std::string text = Vcon::Utf8FromUtf16(plat::MessageBoxLog()[1].text);
    EXPECT_TRUE(text.starts_with("The order service 127.0.0.1 ")) << text;
    EXPECT_NE(text.find(c.said), std::string::npos) << text;
    EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[1].caption), "Internet Access");
    EXPECT_FALSE(fs::exists(root_ / "settings/output.htm"));
    EXPECT_TRUE(ShellLog().empty());
    EXPECT_TRUE(document_.saving_);
  }
}

TEST_F(OrderTest, AMissingRequestTemplateIsReportedAndNothingIsSent) {
  LoopbackOrderPeer peer(Mode::kAnswer, {"<x>"});
  plat::SetTcpPortForTests(peer.Port());
  WriteAll(root_ / "settings/inet1.txt", "H\r\n\r\n");
  plat::QueueMessageBoxAnswer(plat::IDYES);
  EXPECT_EQ(SendOrder(document_, "127.0.0.1"), SendOrderResult::kTemplateMissing);
  EXPECT_EQ(peer.Connections(), 0);
  ASSERT_EQ(plat::MessageBoxLog().size(), 2u);
  EXPECT_NE(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[1].text).find("./settings/inet2.txt"),
            std::string::npos)
      << "the path is not shown as the user's system writes it";
}

}  // namespace
