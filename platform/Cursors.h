#pragma once
// Cursors: the system's standard shapes and the program's own cursor resources. A cursor handle stays
// valid for the life of the process (the platform's shared cursors are never destroyed either). The
// desktop only remembers which cursor is current (Desktop::CurrentCursor), so tests can read it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

struct CursorObject {
  uint16_t systemId = 0;  // one of the IDC_ numbers, or 0 for a resource cursor
  std::string name;       // the resource's name, or "#<id>"
};

// A resource given by number travels as a pointer whose value is the number.
inline const char* MAKEINTRESOURCEA(uint16_t id) {
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(id));
}
inline bool IS_INTRESOURCE(const void* p) { return reinterpret_cast<uintptr_t>(p) <= 0xFFFF; }

constexpr uint16_t IDC_ARROW = 32512;
constexpr uint16_t IDC_IBEAM = 32513;
constexpr uint16_t IDC_WAIT = 32514;
constexpr uint16_t IDC_CROSS = 32515;
constexpr uint16_t IDC_UPARROW = 32516;
constexpr uint16_t IDC_SIZENWSE = 32642;
constexpr uint16_t IDC_SIZENESW = 32643;
constexpr uint16_t IDC_SIZEWE = 32644;
constexpr uint16_t IDC_SIZENS = 32645;
constexpr uint16_t IDC_SIZEALL = 32646;
constexpr uint16_t IDC_NO = 32648;
constexpr uint16_t IDC_HAND = 32649;

// With no instance: a system cursor by its IDC_ number. With an instance: the program's cursor
// resource of that name or number. Null when there is no such cursor.
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HCURSOR SetCursor(HCURSOR cursor);  // answers the previous cursor

// A resource cursor's picture: its hot spot and its pixels row by row as 0xAARRGGBB (clear pixels
// have alpha 0). A cursor resource (kind 1) holds u16 hot x, hot y, width and height, then a byte a
// pixel: 0 clear, 1 black, 2 white.
struct CursorPicture {
  int32_t hotX = 0, hotY = 0, width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
// False for a system cursor, a null one, or a resource whose bytes are short or whose hot spot lies
// outside its pixels.
bool ReadCursorPicture(HCURSOR cursor, CursorPicture& picture);
HCURSOR GetCursor();

}  // namespace plat
