#pragma once
// The order by e-mail: the open document, saved as the order file "ordre.qxf" in the program folder,
// goes as the attachment of a mail made from the mail template (".\settings\mail.txt", see
// MailTemplate) and handed to the user's mail program (MailProvider). Afterwards the order file is
// deleted and the document is as it was: its file record, its has-file flag and its modified flag
// (the save for the order clears the latter; an unsaved change must still be asked about at closing).
//
// A template that cannot be read is reported in a box and nothing is handed over. A failed save is
// reported by the save itself, and the mail is still offered. User-interface thread.

#include "exchange/iOrderDocument.h"
#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

class MailProvider;

// Runs the order with `provider` (null: the message file and the shell, MailProvider). Answers true
// when a mail was handed over.
bool MailOrder(iOrderDocument& document, plat::HWND frame, MailProvider* provider = nullptr);

// The order file's name in the program folder and the mail template's path.
inline constexpr const char16_t* kMailOrderFileName = u"ordre.qxf";
inline constexpr const char16_t* kMailTemplatePath = u".\\settings\\mail.txt";
