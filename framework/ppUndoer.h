#pragma once
// The undo history of one document or editor: a stack of done tasks and a stack of undone tasks that
// can be redone, linked through the tasks themselves. It owns every task on either stack. Embedded by
// value in the classes that own a history.

class ppTask;

class ppUndoer {
 public:
  ppUndoer();
  ~ppUndoer();
  ppUndoer(const ppUndoer&) = delete;
  ppUndoer& operator=(const ppUndoer&) = delete;

  // Hands a new task (on neither stack) to the history; callers post a task and then call its Do.
  void Post(ppTask* task);
  // Unlinks and deletes the task (the top done task when null) from whichever stack holds it.
  void Remove(ppTask* task);
  void Undo();
  void Redo();
  void Clear();

  ppTask* DoneTop() const { return done_; }
  ppTask* RedoTop() const { return redo_; }
  bool Holds(const ppTask* task) const;

  // Removes and deletes every task of this history whose target is `target` or that refers to it;
  // each lets go of `target` first, so none deletes it.
  void RemoveTasksOf(const void* target);
  // The same on every live history, and every other live task lets go of `target`: an object freed
  // other than through its own undoable tasks calls it first (a view from its destructor), so that
  // no undo or redo reaches freed memory and no task deletes it a second time.
  static void PurgeTarget(const void* target);

 private:
  static bool Unlink(ppTask*& top, ppTask* task);
  static void DeleteStack(ppTask*& top);

  ppTask* done_ = nullptr;
  ppTask* redo_ = nullptr;
};
