#pragma once
// Turns a document server failure into the error message. Client failures arrive as negative codes
// (-1 to -11, the Save2ServerFailure codes negated), error ids the server sent as positive codes.
//
// The message below the title line: empty for code 0; otherwise "\n" and the code's description (a
// text of the string database chosen by the code; without that text the helpdesk line stands in),
// and for a code without a description of its own (description 7698) a further "\n" and the helpdesk
// line "Please contact HelpDesk with the error code #<code>" (text 7699 before " #<code>").
// User-interface thread only.

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

// The description text number of `code`: 7608 to 7618 for -1 to -11, the server's known ids, and
// 7698 for every other code and 0.
int32_t ServerErrorDescriptionId(int32_t code);
// The message shown below the title line for `code`, as described above.
Vcon::WString ServerErrorMessage(int32_t code);
// Shows the title text `titleTextId` and the message of `code` in a modal error message over `parent`.
void ShowServerError(plat::HWND parent, int32_t titleTextId, int32_t code);
