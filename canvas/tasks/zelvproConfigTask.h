// Moving a configurable unit with the mouse: the wall piece's task (anchor search and marker, the
// commit's container rules and alignment with a found anchor), but the outlines follow the pointer
// unturned, a door in the selection gets no wall link, and a commit neither selects nor redraws the
// 3D view: the plan alone repaints the unit's old and new place, also after Undo and Redo. A refused release
// (outside the canvas, over no container, a collision) puts every unit back and leaves no undo entry.
//
// Ownership: as zelvproWallTask (the chain is the task's). User-interface thread only.
#pragma once

#include "canvas/tasks/zelvproWallTask.h"

class zelvproConfigTask : public zelvproWallTask {
 public:
  zelvproConfigTask(qxViewHolder* holders, zelvproCanvas* canvas, ppRegion* region);
  ~zelvproConfigTask() override;
};
