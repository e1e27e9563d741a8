// The error box the program shows when an error number escapes to its entry point.
#pragma once

#include <cstdint>
#include <string>

namespace db {

// The string-table text with this id (at most 255 characters; empty when there is none).
std::string ErrorText(uint16_t textId);

// Shows ErrorText(textId) in a box with no owner, the caption "Zelvo Pro" and the stop icon.
void ShowError(uint16_t textId);

}  // namespace db
