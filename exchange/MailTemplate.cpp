#include "exchange/MailTemplate.h"

#include <cstring>

#include "foundation/TabField.h"

MailTemplate MailTemplate::Parse(std::string_view fileBytes) {
  // The template is a narrow text: a NUL ends it, as it ends the fields.
  const size_t nul = fileBytes.find('\0');
  std::string text(fileBytes.substr(0, nul));
  text += "\r\n";

  MailTemplate result;
  Vcon::String* const fields[] = {&result.recipientName, &result.recipientAddress, &result.attachmentName,
                                  &result.subject};
  const char* at = text.c_str();
  for (Vcon::String* field : fields) {
    if (at == nullptr) break;
    char buffer[kMaxFieldBytes + 1];
    bool lineEnded = false;
    at = ParseTabField(buffer, sizeof buffer, at, lineEnded);
    *field = Vcon::String(buffer);
  }
  if (at != nullptr) result.body = Vcon::String(at);
  return result;
}
