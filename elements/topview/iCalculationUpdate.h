// What a plan element asks of the price list after an edit that changes prices: to bring itself up
// to date. The price list installs itself here; until it does, nothing is updated.
#pragma once

class iCalculationUpdate {
 public:
  virtual ~iCalculationUpdate() = default;
  // With `now` the price list is rebuilt at once, otherwise a deferred rebuild is asked for.
  virtual void UpdateCalculation(bool /*now*/) {}

  // The installed updater, or a neutral one; never null.
  static iCalculationUpdate& Current();
  // Installs `updater` (null: the neutral one again). Not owned.
  static void Install(iCalculationUpdate* updater);
};
