#pragma once
// Writes the C++ source that registers a compiled script's resources with the program's registry.

#include <filesystem>
#include <string>

#include "tools/rescomp/ScriptCompiler.h"

namespace rescomp {

std::string EmitRegistrationSource(const std::filesystem::path& script, const CompiledScript& compiled);

// A Make-style dependency line: the output depends on the script and every file it read.
std::string EmitDepfile(const std::filesystem::path& output, const std::filesystem::path& script,
                        const CompiledScript& compiled);

}  // namespace rescomp
