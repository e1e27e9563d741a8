// The order mail template: any bytes give four fields of at most 255 bytes and a body that is the
// tail of the template's text with the appended line end; the message made from them has no line
// that the fields could have added.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/MailMessageFile.h"
#include "exchange/MailTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const MailTemplate parsed = MailTemplate::Parse(bytes);
  for (const Vcon::String* field :
       {&parsed.recipientName, &parsed.recipientAddress, &parsed.attachmentName, &parsed.subject})
    if (field->size() > MailTemplate::kMaxFieldBytes) __builtin_trap();
  std::string text(bytes.substr(0, bytes.find('\0')));
  text += "\r\n";
  if (!text.ends_with(std::string_view(parsed.body))) __builtin_trap();

  MailMessage message;
  message.recipientName = parsed.recipientName;
  message.recipientAddress = parsed.recipientAddress;
  message.subject = parsed.subject;
  message.body = parsed.body;
  message.attachmentPath = u"ordre.qxf";
  message.attachmentName = parsed.attachmentName;
  const std::string composed = MailMessageFile::Compose(message, bytes);
  // Every header line before the first blank line is one the writer makes, or the fold of one.
  const size_t headEnd = composed.find("\r\n\r\n");
  if (headEnd == std::string::npos) __builtin_trap();
  size_t at = 0;
  while (at < headEnd) {
    const size_t end = composed.find("\r\n", at);
    const std::string_view line(composed.data() + at, end - at);
    const bool known = line.starts_with("To: ") || line.starts_with("Subject: ") ||
                       line.starts_with(" =?UTF-8?B?") || line == "MIME-Version: 1.0" ||
                       line == "X-Unsent: 1" || line.starts_with("Content-Type: ");
    if (!known || line.find('\r') != std::string_view::npos || line.find('\n') != std::string_view::npos)
      __builtin_trap();
    at = end + 2;
  }
  return 0;
}
