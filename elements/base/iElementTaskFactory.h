// Where the element code gets the tasks that the canvas layer defines: the command task that turns
// the selection and the mouse tasks that move, drag and rotate it. The document window installs its
// factory; without one no task is made. The caller posts a made command task to a history (which
// then owns it) and calls its Do; a made mouse task is handed to StartWithElement.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/ppRegion.h"

class iMoveObjectTask;
class iScenePane;
class ppMouseTask;
class ppTask;
class ppView;
class qxJunction;
class qxViewHolder;
class zelvDatabase;
class zelvproCanvas;
class zelvproElement;

class iElementTaskFactory {
 public:
  virtual ~iElementTaskFactory() = default;

  // A new task that turns the target's unlocked selection by `turn` radians about the centre of its
  // plan extent and shifts it by (dx, dz) millimetres, with `owner` as its canvas; null when none.
  virtual ppTask* NewRotateTask2(zelvproCanvas* /*owner*/, zelvproElement* /*target*/, float /*turn*/,
                                 float /*dx*/, float /*dz*/) {
    return nullptr;
  }

  // ---- Mouse tasks over a selection chain. A made task takes the chain over; when the factory
  // answers null the chain stays the caller's.
  // The task that moves the selection in a plan view; `feedbackSource` may be null.
  virtual ppTask* NewMoverTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/,
                               void* /*feedbackSource*/) {
    return nullptr;
  }
  // The task that moves the selection in the 3D view.
  virtual ppTask* New3DTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/) { return nullptr; }
  // The task that drags the selection (a copy of it, when Alt was held at the press).
  virtual ppTask* NewDraggerTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/) { return nullptr; }
  // The task that moves a door or window (`element`, the head of `selection`) along its wall and
  // seats it on the wall under the release point. After its release the task finishes itself or is
  // kept by the history it posts itself to.
  virtual ppMouseTask* NewDoorTask(qxViewHolder* /*selection*/, zelvproElement* /*element*/) {
    return nullptr;
  }
  // The task that drags a door or window onto a wall.
  virtual ppTask* NewDoorDraggerTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/) {
    return nullptr;
  }
  // The task that moves the wall `segment` (a room segment) sideways with the walls joined to it,
  // `supervisor` being the segment's canvas; null when none. The caller posts or deletes it.
  virtual iMoveObjectTask* NewMoveObjectTask(zelvproElement* /*segment*/, ppView* /*supervisor*/) {
    return nullptr;
  }
  // The task that rotates the selection; the two values are the element's caller's, passed through.
  virtual ppTask* NewRotateTask(intptr_t /*a*/, intptr_t /*b*/) { return nullptr; }
  // The task that configures `element` in place of moving it (configurable elements, in every view).
  virtual ppTask* NewConfigTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/,
                                zelvproElement* /*element*/) {
    return nullptr;
  }
  // The task that puts the new accessory `accessory` into the element under the mouse that takes it.
  virtual ppTask* NewAccessoryTask(zelvproCanvas* /*canvas*/, zelvproElement* /*accessory*/) {
    return nullptr;
  }
  // ---- Tasks the element palette starts at a press on an item (each takes `selection` over when
  // made). The task that drags a new plan wall piece onto the plan.
  virtual ppTask* NewWallDraggerTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/) {
    return nullptr;
  }
  // The task that drags new units into the 3D view `pane`; `flag` is the palette's, passed through.
  virtual ppTask* New3DDraggerTask(qxViewHolder* /*selection*/, iScenePane* /*pane*/, int32_t /*flag*/) {
    return nullptr;
  }
  // The tasks that paint colour record `colourId` of catalogue `source` onto units of the plan
  // canvas or of the 3D view.
  virtual ppTask* NewColorTask(int32_t /*colourId*/, zelvDatabase* /*source*/, zelvproCanvas* /*canvas*/) {
    return nullptr;
  }
  virtual ppTask* New3DColorTask(int32_t /*colourId*/, zelvDatabase* /*source*/, iScenePane* /*pane*/) {
    return nullptr;
  }
  // ---- The free-standing plan wall pieces.
  // The task that moves a selection of plan wall pieces; the chain is taken over when one is made.
  virtual ppTask* NewWallTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/) { return nullptr; }
  // The task that drags end `end` (an index of the wall's snap entries) of the plan wall `wall`.
  virtual ppTask* NewWallEndTask(zelvproElement* /*wall*/, int32_t /*end*/) { return nullptr; }

  // ---- Wall editing on the room plan. The task NewMoveObjectTask makes is a ppMouseTask as well: the
  // segment starts it at the press point (and a programmatic move presses and releases it).
  // The task that moves one end of the wall `segment` (a room segment) at the corner `junction`,
  // `supervisor` being the segment's canvas; null when none. The caller starts and posts it.
  virtual ppMouseTask* NewMoveStretchObjectTask(zelvproElement* /*segment*/, qxJunction* /*junction*/,
                                                ppView* /*supervisor*/) {
    return nullptr;
  }

  // The rubber-band task a press on the empty canvas starts, over `element` (the canvas itself) of
  // `canvas`; null when none. The caller starts it at the press point.
  virtual ppMouseTask* NewPointerTask(zelvproElement* /*element*/, zelvproCanvas* /*canvas*/) {
    return nullptr;
  }

  // ---- Command tasks of a canvas.
  // The task whose Do deletes the elements of `selection` from `canvas`; the chain stays the
  // caller's (the task keeps what it needs before it returns). Null when none.
  virtual ppTask* NewDeleteTask(zelvproCanvas* /*canvas*/, const qxViewHolder* /*selection*/) {
    return nullptr;
  }
  // The task that makes the elements just built from module records (the holders `made`, last made
  // first) part of the canvas's history; a made task takes the chain over, null leaves it the
  // caller's. `flag` is the loader's, passed through.
  virtual ppTask* NewPasteTask(zelvproCanvas* /*canvas*/, qxViewHolder* /*made*/, int32_t /*flag*/) {
    return nullptr;
  }

  // Starts a mouse task this factory made at the press point (window pixels) with the pixels the
  // selection covers as its feedback; the task and the region are taken over. The neutral factory,
  // which knows no mouse task, deletes the task.
  virtual void StartWithElement(ppTask* task, int32_t x, int32_t y, std::unique_ptr<ppRegion> feedback);

  // The installed factory, or a neutral one that makes nothing; never null.
  static iElementTaskFactory& Current();
  // Installs `factory` (null: the neutral one again). Not owned.
  static void Install(iElementTaskFactory* factory);
};
