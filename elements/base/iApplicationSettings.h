// The switches of the application record (layout "qxApplication") that element code reads: the two
// flag words, the selector heights and the numbering switch. The application copies its record here
// when it opens it; until then every switch is off.
#pragma once

#include <cstdint>

class iApplicationSettings {
 public:
  virtual ~iApplicationSettings() = default;

  uint32_t flags1 = 0;
  uint32_t flags2 = 0;
  int32_t popFieldHeight = 0;  // rows of a selector field
  int32_t popListHeight = 0;   // rows of a selector's list
  bool numbering = false;      // elements are numbered automatically

  // The installed settings, or neutral ones (all off); never null.
  static iApplicationSettings& Current();
  // Installs `settings` (null: the neutral ones again). Not owned.
  static void Install(iApplicationSettings* settings);
};
