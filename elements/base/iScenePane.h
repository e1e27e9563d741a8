// What the plan elements ask of the 3D pane: to mark its scene out of date (rebuilt at its next
// drawing) and to repaint. The 3D pane of the document window implements it.
#pragma once

class iScenePane {
 public:
  virtual ~iScenePane() = default;
  virtual void SetSceneOutOfDate() = 0;
  virtual void Invalidate() = 0;
};
