// Deletes the floors that a floor rebuild replaced, and the cycles they stood on, once the message
// that rebuilt them has finished: the old floors hand their settings to the new ones during the
// rebuild and may still be on the call stack of the edit that caused it. Then the new floor that
// succeeds a selected old one is selected.
//
// Ownership: the sweeper owns the old cycle list until it runs (the floors are the canvas's
// children, deleted by the sweep). A sweeper deleted unrun (its window went away with the
// document) frees only the cycles: the floors go with their canvas. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class qxFloorElement;
class qxLineCycle;

class ppEraseOldFloors : public ppSweeper {
 public:
  // Hands `oldCycles` (may be null) and `floorToSelect` (may be null) to a sweeper posted to the
  // document window; without a document window (a run without message loop) the sweep runs at once.
  static void Post(qxLineCycle* oldCycles, qxFloorElement* floorToSelect);
  // Deletes the floors of `oldCycles`, then the cycles, then selects `floorToSelect` alone.
  static void Erase(qxLineCycle* oldCycles, qxFloorElement* floorToSelect);

  ppEraseOldFloors(plat::HWND window, qxLineCycle* oldCycles, qxFloorElement* floorToSelect);
  ~ppEraseOldFloors() override;

  void Sweep() override;

 private:
  qxLineCycle* oldCycles_;  // owned until the sweep
  qxFloorElement* floorToSelect_;
};
