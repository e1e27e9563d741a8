#pragma once
// The error id a refusing reply of the document server carries: the text between the first double
// quote after the first "id=" and the next double quote. One reading for every server flow (login,
// upload, download and delete), narrow or wide as the flow holds its reply. Thread-neutral.

#include <optional>
#include <string_view>

// Nothing when the reply has no "id=" or either quote is missing; an empty text for "id=\"\"". The
// view points into `reply`.
std::optional<std::string_view> ServerReplyIdText(std::string_view reply);
std::optional<std::u16string_view> ServerReplyIdText(std::u16string_view reply);
