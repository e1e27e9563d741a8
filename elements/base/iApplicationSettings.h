// The application record's switches that change how plan elements behave, copied once at start-up by
// the application shell, which installs its settings here. Until then the elements see every switch
// off and zero popup heights.
#pragma once

#include <cstdint>

class iApplicationSettings {
 public:
  // flags1: options and colour choices are driven by the option keys of price records.
  static constexpr uint32_t kPriceDrivenOptions = 0x1000000;
  // flags1: Delete may remove wall segments of the room too (off: they stay when selected).
  static constexpr uint32_t kDeleteWallSegments = 0x100;
  // flags1: the room's drawing grid starts switched on.
  static constexpr uint32_t kRoomGridOn = 0x4000000;
  // flags1: a rebuilt or replaced room is announced on channel 1003 (message 1012).
  static constexpr uint32_t kAnnounceRoomRebuild = 0x8000000;

  virtual ~iApplicationSettings() = default;

  uint32_t flags1 = 0;
  uint32_t flags2 = 0;
  int32_t popFieldHeight = 0;  // pixels
  int32_t popListHeight = 0;   // pixels
  bool numbering = false;      // units are numbered after each edit
  // Colour groups of the textures walls and floors may take (0: none).
  int32_t wallColorGroup = 0;
  int32_t floorColorGroup = 0;
  // While set, element panels are built by the canvas and a click on a wall opens no panel.
  bool panelRouting = false;
  // Room design is offered (the application record's flag 0x40000); the view command 3001 needs it.
  bool roomDesign = true;
  // The plan canvas's "transparent" display flag at start.
  bool transparentPlan = false;

  // The installed settings, or neutral ones (every switch off); never null.
  static iApplicationSettings& Current();
  // Installs `settings` (null: the neutral ones again). Not owned.
  static void Install(iApplicationSettings* settings);
};
