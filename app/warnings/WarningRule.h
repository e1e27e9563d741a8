// One accepted line of the placement-warning rules file: when a part built for optionA meets a part
// built for optionB of another unit, both units get warning number `warning`.
#pragma once

#include <cstdint>

struct WarningRule {
  static constexpr uint8_t kIntersect = 0;    // the only kind the file gives
  static constexpr uint8_t kShowWarning = 0;  // the only action the file gives

  uint8_t kind = kIntersect;
  uint32_t optionA = 0;  // option keys; a number that could not be read is 0xFFFFFFFF
  uint32_t optionB = 0;
  uint8_t action = kShowWarning;
  uint32_t warning = 0;  // names the picture <warning>.png and is stored on the units

  bool operator==(const WarningRule& other) const = default;
};
