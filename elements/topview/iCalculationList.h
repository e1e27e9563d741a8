// What a plan element asks of the price list: to forget the calculation lines that belong to it. The
// calculation installs its line list here; until one is installed, elements have no lines to remove.
#pragma once

class zelvproElement;

class iCalculationList {
 public:
  virtual ~iCalculationList() = default;
  // Removes every calculation line of `element` (its own and its included lines).
  virtual void RemoveElementLines(zelvproElement* /*element*/) {}

  // The installed list, or a neutral one; never null.
  static iCalculationList& Current();
  // Installs `list` (null: the neutral one again). Not owned.
  static void Install(iCalculationList* list);
};
