#include "exchange/MailMessageFile.h"

#include "exchange/Base64Codec.h"
#include "foundation/PosixPath.h"
#include "platform/AnsiCodePage.h"

namespace {

std::string Utf8OfAnsi(std::string_view text) { return Vcon::Utf8FromUtf16(plat::WidenAnsi(text)); }

bool PlainAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
  return true;
}

// Base64 in one line (the codec breaks its text after 76 characters).
std::string Base64Line(std::string_view bytes) {
  std::string text = Base64Codec().Encode(bytes.data(), int32_t(bytes.size()));
  std::erase(text, '\r');
  std::erase(text, '\n');
  return text;
}

// Base64 lines of 76 characters, the last one ending in CR LF too.
std::string Base64Lines(std::string_view bytes) {
  std::string text = Base64Codec().Encode(bytes.data(), int32_t(bytes.size()));
  if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
  return text;
}

std::string QuotedString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The attachment's name as a parameter `name` (RFC 2231 for anything but printable ASCII).
std::string NameParameter(const char* parameter, std::string_view ansiName) {
  if (PlainAscii(ansiName)) return std::string(parameter) + "=" + QuotedString(ansiName);
  static const char kHex[] = "0123456789ABCDEF";
  std::string value = std::string(parameter) + "*=UTF-8''";
  for (const char c : Utf8OfAnsi(ansiName)) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= 'a' && byte <= 'z') || byte == '.' || byte == '-' || byte == '_';
    if (plain) {
      value += c;
    } else {
      value += '%';
      value += kHex[byte >> 4];
      value += kHex[byte & 15];
    }
  }
  return value;
}

}  // namespace

std::string MailMessageFile::HeaderWord(std::string_view text) {
  if (PlainAscii(text)) return std::string(text);
  // "=?UTF-8?B?" + 60 characters + "?=" is 72: pieces of at most 45 bytes, never splitting a
  // character's UTF-8 sequence.
  const std::string utf8 = Utf8OfAnsi(text);
  std::string words;
  size_t at = 0;
  while (at < utf8.size()) {
    size_t end = std::min(utf8.size(), at + 45);
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    if (!words.empty()) words += "\r\n ";
    words += "=?UTF-8?B?" + Base64Line(std::string_view(utf8).substr(at, end - at)) + "?=";
    at = end;
  }
  return words;
}

std::string MailMessageFile::Compose(const MailMessage& message, std::string_view attachment) {
  const std::string boundary = kBoundary;
  std::string out;
  out += "To: ";
  if (!message.recipientName.empty()) {
    out += PlainAscii(message.recipientName) ? QuotedString(message.recipientName)
                                             : HeaderWord(message.recipientName);
    out += " ";
  }
  // An address is ASCII by nature; anything else in it (a line break from an escape) is dropped so
  // that it cannot start a header of its own.
  std::string address;
  for (const char c : message.recipientAddress)
    if (static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F && c != '<' && c != '>')
      address += c;
  out += "<" + address + ">\r\n";
  out += "Subject: " + HeaderWord(message.subject) + "\r\n";
  out += "MIME-Version: 1.0\r\n";
  out += "X-Unsent: 1\r\n";
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
  out += "\r\n";

  out += "--" + boundary + "\r\n";
  out += "Content-Type: text/plain; charset=UTF-8\r\n";
  out += "Content-Transfer-Encoding: base64\r\n\r\n";
  out += Base64Lines(Utf8OfAnsi(message.body));

  if (!message.attachmentPath.empty()) {
    out += "--" + boundary + "\r\n";
    out +=
        "Content-Type: application/octet-stream; " + NameParameter("name", message.attachmentName) + "\r\n";
    out += "Content-Disposition: attachment; " + NameParameter("filename", message.attachmentName) + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n\r\n";
    out += Base64Lines(attachment);
  }
  out += "--" + boundary + "--\r\n";
  return out;
}
