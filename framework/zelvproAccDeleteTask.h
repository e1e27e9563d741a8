#pragma once
// The undoable removal of an accessory from its container. While the removal stands (done or redone)
// the task owns the element and deletes it with itself; undone, the element is back in its
// container and the container owns it again.

#include "framework/ppTask.h"

class ppView;

class zelvproAccDeleteTask : public ppTask {
 public:
  zelvproAccDeleteTask(ppView* container, ppView* element);
  ~zelvproAccDeleteTask() override;

  void Do() override;
  void SetTarget(void* target) override;
  void Undo() override;
  void Redo() override;

  ppView* Container() const { return container_; }
  ppView* Element() const { return element_; }

 private:
  void Remove();

  ppView* container_;  // not owned
  ppView* element_;    // owned while removed
  bool removed_ = false;
};
