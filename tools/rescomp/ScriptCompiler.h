#pragma once
// Compiles a resource script (readable, diffable text) into resources with their exact bytes.
//
// A script is a sequence of statements; '#' starts a comment outside quotes; texts are in double
// quotes with the escapes \\ \" \n \r \t \0 and \xNN. Scripts are UTF-8; narrow texts are stored in
// the Windows-1252 code page, and a character it cannot hold is an error.
//
//   stringarray <id>            one quoted text a line, then "end": the texts, each with its NUL
//   text <id> "..."             a TXET resource: the text and its NUL
//   stringtable                 lines of <id> "..." then "end": entries of the string table
//   bitmap <id|name> "file.bmp" the device-independent bitmap of a .bmp file (its 14-byte file
//                               header dropped), the path relative to the script
//   dialog <id|name> <x> <y> <width> <height> "caption"     a DIALOG template (dialog units), then
//       style <n>  exstyle <n>  font <points> "face"     optional, before the controls (defaults:
//                                                       0x80C80080, 0, 8 "MS Sans Serif")
//       control <id> "class" "text" <x> <y> <width> <height> <style> [<exstyle>]   one per control
//     and "end"; written in the layer's template form (platform/DialogTemplate.h)
//   resource <TYPE> <id|name>   a binary resource written field by field, then "end":
//       u8|u16|u32|u64|i8|i16|i32|i64 <n>...   little-endian integers
//       f32|f64 <x>...                          little-endian IEEE floats
//       str "..."        the text without NUL        cstr "..."   the text with its NUL
//       fixed <n> "..." [fill "c"]   the text, a NUL, then the fill byte (default 0) up to n bytes
//       hex <bytes>...   bytes in hexadecimal       zeros <n>    n zero bytes
//       file "path"      a file's bytes, the path relative to the script
//   menu <id|name>              a menu (kind #4), lines then "end":
//       item <id> "text" [grayed|disabled|checked]...
//       separator
//       popup "text" [grayed|disabled]    its items, then "end"
//   cursor <id|name> <hot x> <hot y>   a cursor (kind #1): one quoted row of pixels a line ('.' clear,
//                               'X' black, 'o' white), up to 64 by 64, then "end"; written as u16 hot
//                               x, hot y, width, height and a byte a pixel (0 clear, 1 black, 2 white)
//   accelerators <id|name>      fields as for "resource", then "end": an accelerator table (kind #9)
//
// An id is a number from 0 to 65535; a name is a quoted text or a bare word.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace rescomp {

struct Resource {
  std::string type;  // as written, e.g. "STRINGARRAY", or "#4" for a numeric kind
  std::string name;  // empty when the resource has an id
  uint16_t id = 0;
  std::vector<uint8_t> bytes;
  int line = 0;  // where it was declared, for messages
};

struct ScriptError : std::runtime_error {
  ScriptError(const std::string& file, int line, const std::string& what);
  std::string file;
  int line;
};

struct CompiledScript {
  std::vector<Resource> resources;
  std::vector<std::filesystem::path> inputs;  // files the script read besides itself
};

// Compiles the script text; `path` names it in messages and anchors relative file paths.
CompiledScript CompileScript(const std::filesystem::path& path, const std::string& text);

// Reads and compiles the script at `path`.
CompiledScript CompileScriptFile(const std::filesystem::path& path);

}  // namespace rescomp
