// The colour chooser's custom colour file as a damaged disk or an older program may leave it: any
// length, any bytes. Loading fills the sixteen colours (a short file leaves the rest white), saving
// writes them whole, and loading that file again gives the same table.
#include <array>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "controls/ppColorChooser.h"
#include "foundation/FileRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  CustomColorFile().path = Vcon::WString(Vcon::String(fuzz::WriteScratchFile("colors.dat", data, size)));
  try {
    LoadCustomColors();
  } catch (int32_t) {
    return 0;  // a file the layer refuses is an error number, never a crash
  }
  const std::array<uint32_t, 16> loaded = CustomColors();
  SaveCustomColors();
  LoadCustomColors();
  if (CustomColors() != loaded) __builtin_trap();
  return 0;
}
