// Turning the selection with the mouse: the user presses on a selected unit and drags around the press
// point; the units turn live about it (in steps of 45 degrees while Shift is held) and a line shows the
// drag. The release keeps the turn unless a unit then collides, which drops the task and puts the units
// back as they were at the press.
//
// Angles are radians; each unit keeps its own angle relative to its container (a unit in a turned
// group or a door in its wall turns by the drag, not by its container's angle once more).
// Ownership: the task owns the selection chain. User-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "canvas/tasks/zelvproMouseTask.h"
#include "foundation/ppVector3.h"

class ppView;
class qxViewHolder;
class zelvproCanvas;
class zelvproElement;

class zelvproRotateTask : public zelvproMouseTask {
 public:
  // Sent to the view bar after a committed turn.
  static constexpr int32_t kViewBarRefresh = 2500;
  // The canvas command that posts a task on its history.
  static constexpr int32_t kPostTask = 3036;

  // Takes the chain `selection` over.
  zelvproRotateTask(qxViewHolder* selection, zelvproCanvas* canvas);
  ~zelvproRotateTask() override;

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return rejected_; }
  // At the press: the pivot under the mouse and every unit's place and angle.
  void Constrain(plat::POINT& point) override;
  void Track() override;
  void DrawFeedback(int32_t x, int32_t y) override;
  virtual void RotateHook() {}

  // The turn shown now, radians.
  float Angle() const { return angle_; }
  const ppVector3& Pivot() const { return pivot_; }

 private:
  struct Saved {
    zelvproElement* element;
    ppVector3 absPosition;  // plan position at the press
    ppVector3 position;     // in the container's frame: the value Undo and Redo swap
    float absAngle;         // at the press
    float angle;            // own angle: the value Undo and Redo swap
  };
  void Swap(bool undo);
  // The turned elements as a list, their snaps to elements outside it released.
  std::vector<zelvproElement*> ReleaseOutsideSnaps();
  // Clears the placement warnings of the turned units' canvas tree and runs the check again.
  void CheckWarnings(const std::vector<zelvproElement*>& list);

  float angle_ = 0.0f;
  zelvproCanvas* canvas_;
  std::unique_ptr<qxViewHolder> selection_;
  std::vector<Saved> saved_;
  ppVector3 pivot_;
  bool rejected_ = false;
};
