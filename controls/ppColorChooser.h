// The system colour dialog with the 16 custom colours that persist between runs in a 64-byte file
// of the settings folder (16 little-endian COLORREFs 0x00BBGGRR, components 0 to 255, no header).
// While the program runs they live in one table shared by every chooser; a chooser lives for one
// Choose. User-interface thread only.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/FileRecord.h"
#include "framework/ColorConversion.h"
#include "platform/WindowTypes.h"

// Builds the custom colour file's path from the start-up folder; run at start-up before
// LoadCustomColors.
void InitCustomColorFile();
// Reads the table from the file, creating the file with 16 white entries when it is missing; a
// shorter file leaves the rest white. Throws the file layer's error when the file can be neither
// opened nor created.
void LoadCustomColors();
// Writes the 64 bytes of the table at the start of the file (created when missing). Throws as above.
void SaveCustomColors();
// The shared table and the file's record (tests read and set them).
std::array<uint32_t, 16>& CustomColors();
ppFileSpec& CustomColorFile();

class ppColorChooser {
 public:
  explicit ppColorChooser(plat::HWND owner) : owner_(owner) {}
  virtual ~ppColorChooser() = default;

  // Runs the dialog on `color` (percent); true when the user confirmed, and `color` is then the
  // chosen one. The custom colours are saved either way; a file that cannot be read or written
  // leaves the dialog working with the table in memory.
  bool Choose(ppRGBColor& color);

 private:
  plat::HWND owner_;
};
