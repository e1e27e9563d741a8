#pragma once
// One order mail as the mail template and the order give it: the texts are narrow Windows-1252
// text (the template's own bytes), the attachment a file of the program's own path form.

#include "foundation/VconString.h"

struct MailMessage {
  Vcon::String recipientName;
  Vcon::String recipientAddress;
  Vcon::String subject;
  Vcon::String body;
  Vcon::WString attachmentPath;  // the file whose bytes go with the mail; empty: no attachment
  Vcon::String attachmentName;   // the name the recipient sees for it
};
