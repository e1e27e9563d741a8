#pragma once
// Accelerator tables: key combinations that become commands. TranslateAccelerator turns a key press
// that matches an entry into WM_COMMAND (low word the command id, high word 1) sent to the window,
// unless the command is an item of the window's menu that is greyed or disabled; the menu's owner
// first gets WM_INITMENU and WM_INITMENUPOPUP, so that it can bring the item states up to date.
//
// Resource bytes (kind Accelerator), all little-endian, one 8-byte entry per key:
//   u16 flags (FVIRTKEY, FSHIFT, FCONTROL, FALT; 0x80 marks the last entry), u16 key, u16 command, u16 0
// A virtual-key entry matches WM_KEYDOWN / WM_SYSKEYDOWN of that key with exactly its Shift, Ctrl and
// Alt; a character entry matches WM_CHAR / WM_SYSCHAR of that character with its Alt.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;
constexpr uint16_t kAcceleratorLastEntry = 0x80;

constexpr int32_t kVkOemPlus = 0xBB;   // the "=" / "+" key of the main block
constexpr int32_t kVkOemMinus = 0xBD;  // the "-" / "_" key of the main block

struct ACCEL {
  BYTE fVirt = 0;
  WORD key = 0;
  WORD cmd = 0;
};

class AcceleratorTable {
 public:
  explicit AcceleratorTable(std::vector<ACCEL> entries) : entries_(std::move(entries)) {}
  const std::vector<ACCEL>& Entries() const { return entries_; }
  // The entry that the message triggers under the current key state, or null.
  const ACCEL* Match(const MSG& msg) const;

 private:
  std::vector<ACCEL> entries_;
};
using HACCEL = AcceleratorTable*;

// By name, or by id when `name` is an integer resource (a value below 0x10000); null when the
// resource is missing or malformed (empty, not a whole number of entries, or without its end mark).
HACCEL LoadAcceleratorsA(HINSTANCE instance, const char* name);
HACCEL ParseAcceleratorResource(std::span<const uint8_t> bytes);
HACCEL CreateAcceleratorTableA(const ACCEL* entries, int32_t count);
BOOL DestroyAcceleratorTable(HACCEL table);
// Non-zero when the message was an accelerator (the command was sent, or held back because its menu
// item is greyed); the caller then does not dispatch it.
int32_t TranslateAcceleratorA(HWND window, HACCEL table, const MSG* msg);
int32_t TranslateAcceleratorW(HWND window, HACCEL table, const MSG* msg);

}  // namespace plat
