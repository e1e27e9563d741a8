#pragma once
// An order mail as an Internet message file (RFC 5322, MIME), the form in which a desktop's mail
// program takes a prepared mail: "X-Unsent: 1" opens it as a draft to complete and send, and it
// has no sender, which the mail program adds.
//
// Layout, every line ending in CR LF:
//   To: "<name>" <address>
//   Subject: <subject>
//   MIME-Version: 1.0
//   X-Unsent: 1
//   Content-Type: multipart/mixed; boundary="<kBoundary>"
//   (blank line)
//   --<kBoundary>  the body as text/plain; charset=UTF-8, in Base64
//   --<kBoundary>  the attachment as application/octet-stream, Content-Disposition: attachment, in
//                  Base64 (lines of 76 characters)
//   --<kBoundary>--
// Header words that are not plain printable ASCII go as RFC 2047 encoded words (UTF-8, Base64), so
// no template text can add or break a header line; a non-ASCII attachment name goes as an RFC 2231
// parameter. Both parts are Base64, whose alphabet has no "_", so the boundary cannot occur in them.

#include <string>
#include <string_view>

#include "exchange/MailMessage.h"

class MailMessageFile {
 public:
  static constexpr const char* kBoundary = "=_order_part_boundary";

  // The message's bytes, with `attachment` the bytes of its attachment (ignored when the message
  // names no attachment).
  static std::string Compose(const MailMessage& message, std::string_view attachment);

  // A header word (display name or subject; Windows-1252) as it stands in a header: itself when it
  // is printable ASCII, else encoded words of at most 75 characters, folded onto further lines.
  static std::string HeaderWord(std::string_view text);
};
