// The application's switch for number labels on the plan: numbered units show their number in a small
// box while it is on. The application shell installs its settings here; until it does, the switch
// is off.
#pragma once

class iNumberLabelOption {
 public:
  virtual ~iNumberLabelOption() = default;
  virtual bool IsOn() { return false; }

  // The installed option, or a neutral one (off); never null.
  static iNumberLabelOption& Current();
  // Installs `option` (null: the neutral one again). Not owned.
  static void Install(iNumberLabelOption* option);
};
