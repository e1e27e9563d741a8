// The application record's settings that switch element behaviour, copied at start-up: the two flag
// words, the heights of the pop-up fields and lists, and the numbering switch. The application shell
// installs its settings here; the neutral settings have every bit clear.
#pragma once

#include <cstdint>

class iApplicationSettings {
 public:
  virtual ~iApplicationSettings() = default;

  uint32_t flags1 = 0;
  uint32_t flags2 = 0;
  int32_t popFieldHeight = 0;
  int32_t popListHeight = 0;
  // Whether plan elements are numbered (the numbering sweep runs only while it is set).
  bool numbering = false;

  // The installed settings, or the neutral ones; never null.
  static iApplicationSettings& Current();
  // Installs `settings` (null: the neutral ones again). Not owned.
  static void Install(iApplicationSettings* settings);
};
