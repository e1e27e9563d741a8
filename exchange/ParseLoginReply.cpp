#include "exchange/ParseLoginReply.h"

#include "exchange/ShowServerError.h"
#include "foundation/ServerReplyIdText.h"
#include "foundation/ppParameter.h"

int32_t ServerReplyErrorId(const Vcon::String& reply) {
  const std::optional<std::string_view> id = ServerReplyIdText(reply);
  return id ? ppParameter(Vcon::String(std::string(*id))).ToLong() : 0;
}

bool ParseLoginReply(plat::HWND parent, const Vcon::String& reply, int32_t textId) {
  if (reply.find("<accept") != Vcon::String::npos) return true;
  const int32_t errorId = ServerReplyErrorId(reply);
  if (errorId == 0 && textId == kLoginRefusedText)
    ShowServerError(parent, kLoginFailedText, -2);
  else
    ShowServerError(parent, textId, errorId);
  return false;
}
