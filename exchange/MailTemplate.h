#pragma once
// The mail template of the order by e-mail (".\settings\mail.txt"): four tab-separated settings
// fields (recipient name, recipient address, the attachment's shown name, subject), then the message
// body, which is everything after the fourth field to the end of the text.
//
// The file's text is read as narrow (Windows-1252) text up to its first NUL byte, CR LF is appended,
// and the fields are read as every settings field is (ParseTabField: quotes and escapes, each at most
// kMaxFieldBytes). Missing fields are empty, so is the body of a text that ends after the subject.

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/VconString.h"

class MailTemplate {
 public:
  static constexpr size_t kMaxFieldBytes = 255;

  // Parses the bytes of a mail template file; any bytes are accepted.
  static MailTemplate Parse(std::string_view fileBytes);

  Vcon::String recipientName;
  Vcon::String recipientAddress;
  Vcon::String attachmentName;
  Vcon::String subject;
  Vcon::String body;
};
