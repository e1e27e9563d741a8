// The application record's settings that switch element behaviour. The application shell copies them
// here once at start-up; until then (and in a run without a shell) every bit is clear and the
// numbering is off.
//
// Bits the elements read: flags1 0x1000000 (options driven by price records); flags2 0x01 (colour
// rows stay on the information tab), 0x04 (no unit selector), 0x08 (picture with the W/H/D rows and
// the price field), 0x10 (price field allowed), 0x40 (no unit name row), 0x80 (no unit number row and
// no warning handling), 0x100 (no catalogue name row), 0x80000 (no unit selector for a single unit).
#pragma once

#include <cstdint>

class iApplicationSettings {
 public:
  virtual ~iApplicationSettings() = default;

  uint32_t flags1 = 0;
  uint32_t flags2 = 0;
  int32_t popFieldHeight = 0;  // pixels
  int32_t popListHeight = 0;   // pixels
  bool numbering = false;      // the plan's units are numbered (the numbering sweeper runs)

  // The installed settings, or neutral ones (all clear); never null.
  static iApplicationSettings& Current();
  // Installs `settings` (null: the neutral ones again). Not owned.
  static void Install(iApplicationSettings* settings);
};
