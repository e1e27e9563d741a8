// Handing a document, a folder or a web link to the desktop.
#pragma once

#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

// Runs a command text of the form: verb, a blank, and the target in double quotes, such as
//   open "C:\doc\x.pdf"
// The target is what stands between the first two double quotes; what precedes the first quote, up
// to and including its last backslash, is the working folder; the rest up to the first blank is the
// verb. The command text is left holding the verb. Nothing is returned: when the desktop cannot open
// the target, the platform's shell tells the user in an error box over `owner`.
void ShellExecuteCommand(Vcon::WString& command, plat::HWND owner);
