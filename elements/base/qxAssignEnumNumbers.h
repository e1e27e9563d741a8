// The numbering of the plan's units: a deferred pass over the direct children of the top canvas that
// gives every unit of a numbered class its "EnumNumber", class by class (the smallest class id
// first), run by run, and along each run of snapped units from one end. Units of classes that are
// not numbered get 0. The pass reads and writes the units only through their named properties.
//
// ScheduleEnumNumbering posts one sweeper; further requests before it ran add nothing, so a burst of
// edits renumbers once. Redrawing is muted during the pass and done once at its end.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppSweeper.h"

class zelvproElement;

class qxAssignEnumNumbers : public ppSweeper {
 public:
  // Posts itself to the document window and marks the numbering scheduled.
  qxAssignEnumNumbers();
  // Clears the scheduled mark also when the sweeper is deleted unrun (its window was gone), so that
  // numbering is not blocked for the rest of the run.
  ~qxAssignEnumNumbers() override;

  void Sweep() override;

  // Numbers the direct children of `canvas` (the two passes of Sweep, without muting or redrawing).
  static void NumberChildren(zelvproElement& canvas);
  // Whether a sweeper is posted and has not yet run.
  static bool Scheduled();
};

// Unless numbering is already scheduled, and only while the application's numbering switch is on,
// posts a numbering sweeper.
void ScheduleEnumNumbering();
