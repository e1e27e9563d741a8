// The task that paints a colour of the element palette onto plan units: the user presses on a colour
// item, drags a small square over the plan and releases over a unit or over empty plan. A release
// over an unselected unit paints that unit alone, over a selected unit the whole selection, over
// empty plan the selection or, when nothing is selected, every unlocked unit. Undo gives each unit,
// and each colour group of it the painting changed, the colour it had; Redo paints again.
//
// Ownership: the task owns its holder chain (the painted units, each with its previous colour); the
// units, the canvas and the colour catalogue are not its own. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/tasks/PaintedFinishes.h"
#include "canvas/tasks/zelvproMouseTask.h"

class qxViewHolder;
class zelvDatabase;
class zelvproCanvas;
class zelvproElement;

class zelvproColorTask : public zelvproMouseTask {
 public:
  // The cursor shown while dragging: the cursor resource that the application's table loaded.
  static constexpr int32_t kCursorResource = 139;
  // Half the side of the square (pixels) that follows the mouse.
  static constexpr int32_t kHalfSquare = 5;

  // `colourId`: a colour record of `source`, the catalogue whose last used colours per colour group
  // the painting updates. `canvas`: the plan canvas the task runs on.
  zelvproColorTask(int32_t colourId, zelvDatabase* source, zelvproCanvas* canvas);
  ~zelvproColorTask() override;

  // Starts with the feedback square around the press point when no region is given.
  bool StartWithElement(int32_t x, int32_t y, std::unique_ptr<ppRegion> region) override;
  void SetTrackCursor() override;
  // Paints at the release point and posts the task on the canvas's history.
  void Do() override;
  void Undo() override;
  void Redo() override;
  // True when the release painted nothing: the mouse-up then drops the task.
  bool IsEmpty() override { return units_ == nullptr; }

  int32_t ColourId() const { return colourId_; }
  // The colour-group bits the painting applied (-1: every group).
  int32_t Mask() const { return mask_; }
  // The painted units, in chain order; empty before Do or when nothing was painted.
  std::vector<zelvproElement*> Units() const;

 private:
  // The units a release at window pixel `at` paints (null when none) and the unit under it.
  qxViewHolder* CollectUnits(const plat::POINT& at, zelvproElement*& hit);
  // The bits of `mask` whose colour group takes the colour: a group without a list of allowed
  // colours takes every colour.
  int32_t NarrowMask(zelvproElement* unit, int32_t mask) const;
  void Paint(bool undo);

  zelvproCanvas* canvas_;
  qxViewHolder* units_ = nullptr;
  PaintedFinishes previous_;  // per holder, in chain order
  int32_t colourId_;
  zelvDatabase* source_;
  int32_t mask_ = -1;
};
