#pragma once
// A dialog template: the dialog's style, place and size in dialog units, its font and caption, and its
// items (class, text, id, rectangle in dialog units, style). Templates come from the program's
// resources (type "DIALOG", by id or name) or are built in code.
//
// Stored form (our own, little-endian), as the resource scripts write it:
//   "DLG1"; u32 style; u32 extended style; i16 x, y, width, height; u16 font size in points;
//   cstr font face; cstr caption; u16 item count; then per item:
//   u32 style; u32 extended style; i16 x, y, width, height; u16 id; cstr class; cstr text.
// Texts are Windows-1252 with a terminating NUL.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

// Dialog styles.
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x800;

struct DialogItemTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t id = 0;
  std::string className;
  std::u16string text;
};

struct DialogTemplate {
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  DWORD exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t pointSize = 8;
  std::string fontFace = "MS Sans Serif";
  std::u16string caption;
  std::vector<DialogItemTemplate> items;

  // Appends an item; answers it for further settings.
  DialogItemTemplate& Add(const char* className, std::u16string text, uint16_t id, int16_t x, int16_t y,
                          int16_t cx, int16_t cy, DWORD style);

  std::vector<uint8_t> Serialize() const;
  // Null for bytes that are not a whole template (wrong mark, cut short, trailing bytes).
  static std::optional<DialogTemplate> Parse(std::span<const uint8_t> bytes);
  // The template resource `name` (an id made with MAKEINTRESOURCEA, or a name); null when missing or
  // malformed.
  static std::optional<DialogTemplate> Load(const char* name);
};

}  // namespace plat
