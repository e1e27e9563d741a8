#pragma once
// The text of the box that tells a settings database or catalogue could not be opened at start-up:
// the file's full path as the system writes it, why in words, and the error number for support.

#include <cstdint>
#include <string>

#include "foundation/VconString.h"

// `path` as the settings list names it (relative to the program folder, backslashed); `error` the file
// or database error number; `after` a sentence that follows (may be empty). For example
// "Cannot open /opt/planner/settings/zadezodid.cdb: the file is in use by another program (is the
// planner already running?). (error 80)".
std::string SettingsFileFailureText(const Vcon::WString& path, int32_t error, const std::string& after);
