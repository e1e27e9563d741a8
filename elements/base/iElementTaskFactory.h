// Where the element code gets the command tasks that the canvas layer defines: the document window
// installs its factory; without one no task is made. The caller posts a made task to a history
// (which then owns it) and calls its Do.
// User-interface thread only.
#pragma once

class ppTask;
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

  // The installed factory, or a neutral one that makes nothing; never null.
  static iElementTaskFactory& Current();
  // Installs `factory` (null: the neutral one again). Not owned.
  static void Install(iElementTaskFactory* factory);
};
