#pragma once
// Handing an order mail to the user's mail program.
//
// There is no system interface on the desktop that takes a message with an attachment, so the
// provider writes the message as an Internet message file (MailMessageFile: the attachment inside
// it, so the attached file may go at once) into ".\settings\outbox\" under
// "order-YYYYMMDD-HHMMSS.eml" ("-2", "-3" ... after the name when it is taken) and opens that file
// through the shell: the desktop's mail program shows it as a draft for the user to complete and
// send. Under the headless backend the shell only records the call (plat::ShellExecuteLog), so tests
// read the written file and the shell log. A subclass may hand messages elsewhere.

#include "exchange/MailMessage.h"
#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

class MailProvider {
 public:
  virtual ~MailProvider() = default;

  // Hands `message` over; answers false when nothing could be handed over (the message file could
  // not be written, or the attachment not read). The mail program's own refusals are its own.
  virtual bool Hand(const MailMessage& message, plat::HWND owner);

  // The message file the last successful Hand wrote (the program's path form), else empty.
  const Vcon::WString& LastMessageFile() const { return lastFile_; }

 private:
  Vcon::WString lastFile_;
};
