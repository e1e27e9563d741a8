// The byte work of the orders: the mail template, the request templates, the answer cut, the web
// site's host and the message file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "exchange/Base64Codec.h"
#include "exchange/MailMessageFile.h"
#include "exchange/MailTemplate.h"
#include "exchange/OrderRequest.h"
#include "foundation/OwnedHandle.h"

namespace {

using namespace std::string_literals;

Handle NewHandle(const std::string& bytes) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
  return h;
}

std::string Bytes(Handle h) { return std::string(*h, size_t(MemGetSize(h))); }

TEST(MailTemplateTest, FourFieldsThenTheBody) {
  struct Case {
    std::string file;
    const char* name;
    const char* address;
    const char* attachment;
    const char* subject;
    std::string body;
  };
  const Case cases[] = {
      {"Shop\tshop@example.test\torder.qxf\tNew order\r\nHello", "Shop", "shop@example.test", "order.qxf",
       "New order", "Hello\r\n"},
      // Ends after the subject: an empty body.
      {"Shop\ta@b\to.qxf\tSubject", "Shop", "a@b", "o.qxf", "Subject", ""},
      {"Shop\ta@b\to.qxf\tSubject\r\n", "Shop", "a@b", "o.qxf", "Subject", "\r\n"},
      // Fewer fields than four: the rest are empty, and so is the body.
      {"Shop\ta@b", "Shop", "a@b", "", "", ""},
      {"", "", "", "", "", ""},
      // A NUL ends the text.
      {"A\tB\tC\tD\r\nbody\0hidden"s, "A", "B", "C", "D", "body\r\n"},
      {"A\0\tB\tC\tD"s, "A", "", "", "", ""},
      // Quotes and escapes as in every settings field; a body line keeps its TABs.
      {"\"Sh\"\"op\"\ta\\tb\tx\tSub\\nject\r\nline\tone\r\nline two", "Sh\"op", "a\tb", "x", "Sub\nject",
       "line\tone\r\nline two\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const MailTemplate parsed = MailTemplate::Parse(c.file);
    EXPECT_EQ(std::string(parsed.recipientName), c.name);
    EXPECT_EQ(std::string(parsed.recipientAddress), c.address);
    EXPECT_EQ(std::string(parsed.attachmentName), c.attachment);
    EXPECT_EQ(std::string(parsed.subject), c.subject);
    EXPECT_EQ(std::string(parsed.body), c.body);
  }
}

TEST(MailTemplateTest, AFieldKeepsAtMost255Bytes) {
  const std::string longName(400, 'n');
  const MailTemplate parsed = MailTemplate::Parse(longName + "\taddress\tfile\tsubject\r\nbody");
  EXPECT_EQ(std::string(parsed.recipientName), std::string(255, 'n'));
  EXPECT_EQ(std::string(parsed.recipientAddress), "address");
  EXPECT_EQ(std::string(parsed.body), "body\r\n");
}

TEST(OrderRequestTest, TheBodyTakesTheDocumentAndTheHeadItsLength) {
  std::string document(1000, '\0');
  for (size_t i = 0; i < document.size(); ++i) document[i] = char(i * 7 + 3);
  document.replace(100, 6, "$FILE$");  // the document's own bytes must not be replaced again
  document.replace(500, 8, "$LENGTH$");
  struct Case {
    std::string head, body, wantHead, wantBody;
  };
  const Case cases[] = {
      {"POST /o HTTP/1.1\r\nContent-Length: $LENGTH$\r\n\r\n", "X$FILE$Y",
       "POST /o HTTP/1.1\r\nContent-Length: 1002\r\n\r\n", "X" + document + "Y"},
      // Without "$FILE$" the body goes unchanged with its own length.
      {"L: $LENGTH$\r\n\r\n", "plain body", "L: 10\r\n\r\n", "plain body"},
      // Every occurrence, each once.
      {"$LENGTH$ $LENGTH$", "$FILE$-$FILE$", "2001 2001", document + "-" + document},
      {"no length", "", "no length", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head + " / " + c.body);
    OwnedHandle head(NewHandle(c.head)), body(NewHandle(c.body)), packed(NewHandle(document));
    OrderRequest::Fill(head.Get(), body.Get(), packed.Get());
    EXPECT_EQ(Bytes(head.Get()), c.wantHead);
    EXPECT_TRUE(Bytes(body.Get()) == c.wantBody);
    EXPECT_EQ(Bytes(packed.Get()), document);
  }
}

TEST(OrderRequestTest, TheAnswerIsCutToItsMarkup) {
  const std::pair<std::string, std::string> cases[] = {
      {"junk<html>ok</html>tail", "<html>ok</html>"},
      {"HTTP/1.1 200 OK\r\n\r\n<p>a > b</p>\r\n", "<p>a > b</p>"},
      {"no markup at all", ""},
      {"only < opening", ""},
      {"only > closing", ""},
      {"> backwards <", ""},
      {"<>", "<>"},
      {"", ""},
      {"x<a\0b>y"s, "<a\0b>"s},
  };
  for (const auto& [answer, cut] : cases) {
    SCOPED_TRACE(answer);
    EXPECT_EQ(OrderRequest::CutToMarkup(answer), cut);
    OwnedHandle h(NewHandle(answer));
    OrderRequest::CutToMarkup(h.Get());
    EXPECT_EQ(Bytes(h.Get()), cut);
  }
}

TEST(OrderRequestTest, TheHostOfAWebSiteFieldDropsSchemePathAndPort) {
  const std::pair<const char*, const char*> cases[] = {
      {"shop.example", "shop.example"},
      {"https://shop.example", "shop.example"},
      {"https://www.shop.example/orders/new?x=1", "www.shop.example"},
      {"http://user:pw@shop.example:8080/x", "shop.example"},
      {"shop.example:81", "shop.example"},
      {"  shop.example/\r\n", "shop.example"},
      {"http://[::1]:80/", "::1"},
      {"https:// shop.example /orders", "shop.example"},
      {"", ""},
  };
  for (const auto& [field, host] : cases) EXPECT_EQ(OrderRequest::HostOfWebSite(field), host) << field;
}

TEST(MailMessageFileTest, AMessageIsLaidOutByteForByte) {
  MailMessage message;
  message.recipientName = "Shop";
  message.recipientAddress = "shop@example.test";
  message.subject = "New order";
  message.body = "Hello\r\n";
  message.attachmentPath = u"ordre.qxf";
  message.attachmentName = "order.qxf";
  const std::string text = MailMessageFile::Compose(message, "abc");
  EXPECT_EQ(text,
            "To: \"Shop\" <shop@example.test>\r\n"
            "Subject: New order\r\n"
            "MIME-Version: 1.0\r\n"
            "X-Unsent: 1\r\n"
            "Content-Type: multipart/mixed; boundary=\"=_order_part_boundary\"\r\n"
            "\r\n"
            "--=_order_part_boundary\r\n"
            "Content-Type: text/plain; charset=UTF-8\r\n"
            "Content-Transfer-Encoding: base64\r\n"
            "\r\n"
            "SGVsbG8NCg==\r\n"
            "--=_order_part_boundary\r\n"
            "Content-Type: application/octet-stream; name=\"order.qxf\"\r\n"
            "Content-Disposition: attachment; filename=\"order.qxf\"\r\n"
            "Content-Transfer-Encoding: base64\r\n"
            "\r\n"
            "YWJj\r\n"
            "--=_order_part_boundary--\r\n");
}

TEST(MailMessageFileTest, TextsThatAreNotPlainAsciiAreEncodedAndCannotAddAHeader) {
  // Windows-1252 "Køkken" and a subject whose escape made a line break and a header of its own.
  EXPECT_EQ(MailMessageFile::HeaderWord("K\xF8kken"), "=?UTF-8?B?S8O4a2tlbg==?=");
  const std::string injected = MailMessageFile::HeaderWord("Hi\r\nBcc: someone@else.test");
  EXPECT_EQ(injected.find('\n'), std::string::npos);
  EXPECT_EQ(injected, "=?UTF-8?B?SGkNCkJjYzogc29tZW9uZUBlbHNlLnRlc3Q=?=");
  // A long word folds into encoded words of at most 75 characters, each character whole.
  const std::string folded = MailMessageFile::HeaderWord(std::string(60, '\xE6'));
  size_t start = 0, words = 0;
  std::string decoded;
  while (start < folded.size()) {
    size_t end = folded.find("\r\n ", start);
    if (end == std::string::npos) end = folded.size();
    const std::string word = folded.substr(start, end - start);
    EXPECT_LE(word.size(), 75u);
    ASSERT_TRUE(word.starts_with("=?UTF-8?B?") && word.ends_with("?="));
    const std::string base64 = word.substr(10, word.size() - 12);
    std::string bytes(base64.size(), '\0');
    bytes.resize(size_t(Base64Codec().Decode(base64, bytes.data())));
    EXPECT_EQ(bytes.size() % 2, 0u);  // "æ" is two bytes in UTF-8: never split
    decoded += bytes;
    ++words;
    start = end == folded.size() ? end : end + 3;
  }
  EXPECT_EQ(words, 3u);
  EXPECT_EQ(decoded.size(), 120u);

  MailMessage message;
  message.recipientName = "K\xF8kken \"Nord\"";
  message.recipientAddress = "a@b.test\r\nBcc: x@y";
  message.subject = "Ordre";
  message.attachmentPath = u"x";
  message.attachmentName = "k\xF8kken plan.qxf";
  const std::string text = MailMessageFile::Compose(message, "");
  EXPECT_NE(text.find("To: =?UTF-8?B?S8O4a2tlbiAiTm9yZCI=?= <a@b.testBcc:x@y>\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("filename*=UTF-8''k%C3%B8kken%20plan.qxf\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\nBcc"), std::string::npos);
}

}  // namespace
