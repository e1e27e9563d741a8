// A command text handed over by another start of the program, as UTF-16 units (pairs of bytes; an
// odd last byte makes the file test answer that the text names a file): parsed, every argument
// read again one by one, and the report text built. Nothing may run past the text, and no argument
// or report may pass its bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "canvas/window/RemoteCommandText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
  const bool exists = size % 2 == 1;
  const RemoteCommandText::Command command =
      RemoteCommandText::Parse(text, [&](const std::u16string&) { return exists; });
  if (command.open && !command.arguments.empty()) __builtin_trap();
  for (const std::u16string& argument : command.arguments) {
    if (argument.size() > RemoteCommandText::kMaxText) __builtin_trap();
  }
  if (RemoteCommandText::ReportText(command).size() > RemoteCommandText::kMaxText) __builtin_trap();
  // Every position answered lies inside the text, and each step moves on.
  size_t position = 0;
  for (size_t steps = 0; position != RemoteCommandText::kNone; ++steps) {
    std::u16string argument;
    const size_t next = RemoteCommandText::NextRemoteArgument(text, position, argument);
    if (next != RemoteCommandText::kNone && (next <= position || next >= text.size())) __builtin_trap();
    if (argument.size() > RemoteCommandText::kMaxText || steps > text.size()) __builtin_trap();
    position = next;
  }
  return 0;
}
