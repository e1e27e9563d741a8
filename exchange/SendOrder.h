#pragma once
// The order over TCP: after the user's consent, the packed document goes to the retailer's order
// service as one request made from two templates (".\settings\inet1.txt" the head with "$LENGTH$",
// ".\settings\inet2.txt" the body with "$FILE$"; see OrderRequest) over a plain TCP connection to
// port 80 of the web site's host. The service's answer, cut to its markup, is written to
// ".\settings\output.htm" and opened through the shell.
//
// The exchange: send the head; receive once (the service's interim answer, such as
// "HTTP/1.1 100 Continue"); send the body; receive until the service closes (at most
// TcpConnection::kMaxAnswerBytes). Every wait is bounded by the receive time limit. A connection that
// cannot be made, a service that closes or stays silent, and a template that cannot be read end the
// order with one box (title text 6247) and nothing written or opened. The save-in-progress flag is
// cleared while the order runs and put back afterwards. User-interface thread; it blocks while it
// waits.

#include "exchange/iOrderDocument.h"

enum class SendOrderResult {
  kRefused,          // the user did not consent; nothing was sent
  kAnswerOpened,     // the answer was written and opened
  kTemplateMissing,  // a request template could not be read
  kNotConnected,     // the service could not be reached
  kNoAnswer,         // sending failed, or the service closed or stayed silent
  kAnswerNotWritten  // the answer file could not be written
};

// `webSite`: the application record's web site field (a host, or a web address whose host is taken).
SendOrderResult SendOrder(iOrderDocument& document, const std::string& webSite);

inline constexpr const char16_t* kOrderHeadTemplatePath = u".\\settings\\inet1.txt";
inline constexpr const char16_t* kOrderBodyTemplatePath = u".\\settings\\inet2.txt";
inline constexpr const char16_t* kOrderAnswerPath = u".\\settings\\output.htm";
inline constexpr const char* kOrderPort = "80";
