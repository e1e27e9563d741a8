// Putting a new accessory (a handle, a shelf, a lamp) onto a unit: while the mouse moves the unit
// under it that lists this accessory as droppable is looked up (by the plan's hit test, or by picking
// in the 3D view) and the cursor tells whether the drop is possible; nothing is drawn. The release
// attaches the accessory to that unit as one undoable step, or throws it away when there is none.
//
// Ownership: the accessory is the task's from construction (it is taken out of the canvas it was
// made in) until it is attached; attached (after Do with a host, and after Redo) it belongs to its
// host; detached again by Undo it is the task's, and the task deletes it. User-interface thread only.
#pragma once

#include "canvas/tasks/zelvproMouseTask.h"
#include "foundation/ppVector3.h"

class zelvpro3DPane;
class zelvproCanvas;
class zelvproElement;

class zelvproAccessoryTask : public zelvproMouseTask {
 public:
  // The cursors (program cursor resources): no host under the mouse; a host that takes it.
  static constexpr int32_t kNoHostCursor = 140, kHostCursor = 141;
  // The canvas command that posts a task on the history.
  static constexpr int32_t kPostAfterEdit = 3037;

  // `canvas` is the plan canvas the item is dragged into and whose history takes the task. Made
  // while the 3D view is shown, the task tracks the mouse in the 3D canvas's pane and picks there.
  zelvproAccessoryTask(zelvproElement* accessory, zelvproCanvas* canvas);
  ~zelvproAccessoryTask() override;

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return nothingToKeep_; }
  void Track() override;
  void DrawFeedback(int32_t /*x*/, int32_t /*y*/) override {}
  void EraseFeedback(int32_t /*x*/, int32_t /*y*/) override {}
  void SetTrackCursor() override;

  zelvproElement* Host() const { return host_; }
  zelvproElement* Accessory() const { return accessory_; }
  int32_t TrackCursor() const { return cursor_; }

 private:
  // The unit under the current point that would take the accessory, or null.
  zelvproElement* FindHost() const;
  // The plan element the 3D view shows under the current point, or null.
  zelvproElement* PickedInPane() const;
  // The 3D canvas's pane, with the current point in its pixels in `p`; null without one.
  zelvpro3DPane* PaneAtCurrent(plat::POINT& p) const;
  // The plan point (millimetres) under the current point: in the plan the pixel's, in the 3D view
  // the surface point met there; false when none is met.
  bool DropPoint(ppVector3& out) const;

  zelvproCanvas* canvas_;
  zelvproElement* accessory_;
  zelvproElement* host_ = nullptr;
  bool nothingToKeep_ = false;
  int32_t cursor_ = 0;
};
