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
  const char* at = ParseTabFields(text.c_str(), fields, kMaxFieldBytes);
  if (at != nullptr) result.body = Vcon::String(at);
  return result;
}
