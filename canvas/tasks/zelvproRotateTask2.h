// The command rotation: turns the unlocked selection of a plan about the centre of its plan extent by
// a fixed angle and shifts it, as one undoable step. The canvas's turn commands (4008, 4009) make it
// with plus (clockwise on the plan) and minus the program-wide rotation step; a unit makes it from its
// turn keys and its angle edit. Doors and windows (kinds 5 and 6) stay where they are but count for the
// extent.
//
// Angles are radians, kept within one turn; positions plan millimetres. Each unit keeps its own angle
// relative to its container. Ownership: the task owns the selection chain it collects.
// User-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "foundation/ppVector3.h"
#include "framework/ppTask.h"

class qxViewHolder;
class zelvproElement;

class zelvproRotateTask2 : public ppTask {
 public:
  // `source` (an element or a canvas) gives the selection; `target` is the history's owner.
  zelvproRotateTask2(zelvproElement* source, void* target, float angle, float shiftX, float shiftZ);
  ~zelvproRotateTask2() override;

  void Do() override;
  void Undo() override;
  void Redo() override;
  virtual void Rotate2Hook() {}

  const qxViewHolder* Selection() const { return selection_.get(); }

 private:
  struct Saved {
    zelvproElement* element;
    ppVector3 position;  // in the container's frame
    float angle;         // own angle
  };
  // Bounds, centre, turn and shift of the held selection.
  void Apply();
  // The closing steps of Do, Undo and Redo.
  void Close();

  zelvproElement* source_;
  std::unique_ptr<qxViewHolder> selection_;
  std::vector<Saved> saved_;
  float angle_;
  float shiftX_, shiftZ_;
};
