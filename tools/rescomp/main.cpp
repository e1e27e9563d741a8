// rescomp <script.res> <output.cpp> [<depfile>]
// Compiles one resource script into C++ that registers its resources. On an error it prints
// "file:line: message", writes nothing and exits with 1, which stops the build.

#include <cstdio>
#include <fstream>
#include <iostream>

#include "tools/rescomp/CodeEmitter.h"
#include "tools/rescomp/ScriptCompiler.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out || !(out << text) || !out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::cerr << "usage: rescomp <script.res> <output.cpp> [<depfile>]\n";
    return 2;
  }
  std::filesystem::path script = argv[1], output = argv[2];
  try {
    rescomp::CompiledScript compiled = rescomp::CompileScriptFile(script);
    if (!WriteFile(output, rescomp::EmitRegistrationSource(script, compiled)) ||
        (argc == 4 && !WriteFile(argv[3], rescomp::EmitDepfile(output, script, compiled)))) {
      std::cerr << "rescomp: cannot write " << output.string() << "\n";
      return 1;
    }
  } catch (const rescomp::ScriptError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
