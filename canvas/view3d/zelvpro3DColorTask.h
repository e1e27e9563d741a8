// Painting a colour of the element palette onto units by clicking them in the 3D view. A click on an
// unselected unit paints that unit alone, on a selected unit or on nothing the plan's selection; only
// units of the colour's catalogue take it. A click that paints nothing leaves no undo entry. Undo gives
// each painted unit, and each colour group of it, the finish it had; Redo paints again.
//
// Ownership: the task owns its holder chain; the units, the pane and the catalogue are not its own.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "canvas/tasks/PaintedFinishes.h"
#include "canvas/tasks/zelvproMouseTask.h"

class qxViewHolder;
class zelvDatabase;
class zelvpro3DPane;
class zelvproElement;

class zelvpro3DColorTask : public zelvproMouseTask {
 public:
  // The cursor shown while dragging: the cursor resource that the application's table loaded.
  static constexpr int32_t kCursorResource = 139;
  static constexpr int32_t kPostCommand = 3053;
  static constexpr int32_t kHalfSquare = 5;  // pixels

  zelvpro3DColorTask(int32_t newColour, zelvDatabase* colourDatabase, zelvpro3DPane* pane);
  ~zelvpro3DColorTask() override;

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return nothingPainted_; }
  // Without a region of its own the 10 by 10 pixel square round the press follows the mouse.
  bool StartWithElement(int32_t x, int32_t y, std::unique_ptr<ppRegion> region) override;
  void SetTrackCursor() override;

  // The painted units and their own colour record ids before the painting, in holder order.
  std::vector<zelvproElement*> Painted() const;
  std::vector<int32_t> PreviousColours() const;
  uint32_t ColourMask() const { return colourMask_; }

 private:
  void Paint(bool undo);

  zelvpro3DPane* pane_;
  std::unique_ptr<qxViewHolder> holders_;
  std::vector<zelvproElement*> painted_;
  PaintedFinishes previous_;  // per painted unit, in order
  int32_t newColour_;
  zelvDatabase* colourDatabase_;
  uint32_t colourMask_ = 0;
  bool nothingPainted_ = false;
};
