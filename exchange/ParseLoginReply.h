#pragma once
// The check every reply of the server flows passes (login, upload, download): a reply holding
// "<accept" anywhere is accepted. Any other reply is a refusal, shown at once with the server error
// message: title `textId` and the error id the reply carries (ServerReplyErrorId). A refused login
// without an id is shown as the login failure 7605 with code -2, as no server id explains it.
// User-interface thread only.

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

inline constexpr int32_t kLoginRefusedText = 7600;
inline constexpr int32_t kLoginFailedText = 7605;

// The error id of a refusal: the text between the first double quote after the first "id=" and the
// next double quote, read as a whole number (0 when it is none); 0 without "id=" or either quote.
int32_t ServerReplyErrorId(const Vcon::String& reply);

// True for an accepting reply; otherwise shows the refusal over `parent` (null: the active window)
// and answers false.
bool ParseLoginReply(plat::HWND parent, const Vcon::String& reply, int32_t textId);
