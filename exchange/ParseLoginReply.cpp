#include "exchange/ParseLoginReply.h"

#include "exchange/ShowServerError.h"
#include "foundation/ppParameter.h"

int32_t ServerReplyErrorId(const Vcon::String& reply) {
  const size_t id = reply.find("id=");
  if (id == Vcon::String::npos) return 0;
  const size_t open = reply.find('"', id + 3);
  if (open == Vcon::String::npos) return 0;
  const size_t close = reply.find('"', open + 1);
  if (close == Vcon::String::npos) return 0;
  return ppParameter(Vcon::String(reply.substr(open + 1, close - open - 1))).ToLong();
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
