// The canvas layer's task factory: the tasks the plan elements and the room ask for through
// iElementTaskFactory: the delete and paste command tasks, the rubber band, the colour task, and the start of
// the mouse tasks at a press. Rows not filled yet keep the neutral answer (no task). User-interface thread
// only.
#pragma once

#include "elements/base/iElementTaskFactory.h"

class CanvasTaskFactory : public iElementTaskFactory {
 public:
  ppTask* NewDeleteTask(zelvproCanvas* canvas, const qxViewHolder* selection) override;
  ppTask* NewPasteTask(zelvproCanvas* canvas, qxViewHolder* made, int32_t flag) override;
  ppMouseTask* NewPointerTask(zelvproElement* element, zelvproCanvas* canvas) override;
  ppTask* NewColorTask(int32_t colourId, zelvDatabase* source, zelvproCanvas* canvas) override;
  // The plan's move, mouse rotation (`a` the selection chain, `b` the canvas) and command rotation.
  ppTask* NewMoverTask(qxViewHolder* selection, zelvproCanvas* canvas, void* feedbackSource) override;
  ppTask* NewRotateTask(intptr_t a, intptr_t b) override;
  // The 3D view's mover, dragger and colour task, in the document's 3D pane (null without one).
  ppTask* New3DTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  ppTask* New3DDraggerTask(qxViewHolder* selection, iScenePane* pane, int32_t flag) override;
  ppTask* New3DColorTask(int32_t colourId, zelvDatabase* source, iScenePane* pane) override;
  // New units from the palette and the copies of an Alt press: placed by the dragger, which takes the
  // chain over (null, and nothing taken, without a chain or a canvas).
  ppTask* NewDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  ppTask* NewRotateTask2(zelvproCanvas* owner, zelvproElement* target, float turn, float dx,
                         float dz) override;
  // Room walls and corners (null unless `segment` is a room segment) and plan wall piece ends (null
  // unless `wall` is a wall piece and `end` 0 or 1).
  iMoveObjectTask* NewMoveObjectTask(zelvproElement* segment, ppView* supervisor) override;
  ppMouseTask* NewMoveStretchObjectTask(zelvproElement* segment, qxJunction* junction,
                                        ppView* supervisor) override;
  ppTask* NewWallEndTask(zelvproElement* wall, int32_t end) override;
  // Doors, room windows and structure elements: moved along the walls (`element` the lead opening,
  // whose canvas the task runs in) and placed new from the palette.
  ppMouseTask* NewDoorTask(qxViewHolder* selection, zelvproElement* element) override;
  ppTask* NewDoorDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  // Plan wall pieces moved and placed new; configurable units moved.
  ppTask* NewWallTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  ppTask* NewWallDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override;
  ppTask* NewConfigTask(qxViewHolder* selection, zelvproCanvas* canvas, zelvproElement* element) override;
  // A new accessory put onto the unit under the release that takes it.
  ppTask* NewAccessoryTask(zelvproCanvas* canvas, zelvproElement* accessory) override;
  // A plan mouse task starts with `feedback` as its feedback region, another mouse task without one;
  // anything else is deleted.
  void StartWithElement(ppTask* task, int32_t x, int32_t y, std::unique_ptr<ppRegion> feedback) override;

  // Installs the program's one factory (iElementTaskFactory::Install); the desktop's reset takes it
  // away again.
  static void InstallDefault();
};
