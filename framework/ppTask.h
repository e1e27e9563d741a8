#pragma once
// An undoable command: done, undone and redone; it may absorb a following task of its kind, and may
// say after doing that it left nothing to keep. An undo history (ppUndoer) owns the tasks posted to it.

#include <cstdint>

class ppUndoer;

class ppTask {
 public:
  ppTask() = default;
  explicit ppTask(void* target) : target_(target) {}
  virtual ~ppTask() = default;
  ppTask(const ppTask&) = delete;
  ppTask& operator=(const ppTask&) = delete;

  virtual void Do();
  virtual void SetTarget(void* target);
  virtual void Undo();
  virtual void Redo();
  // Asked of the top done task when `next` is posted: true when this task took its effect over.
  virtual bool Absorb(ppTask* next);
  virtual bool IsEmpty();
  // True when the task keeps `object` for its undo or redo besides its target (a moved wall's
  // neighbours): an object freed other than through its own tasks takes such tasks off the histories
  // as it takes those it is the target of.
  virtual bool Refers(const void* /*object*/) const { return false; }

  // Ends the task: its history removes (and deletes) it, or it deletes itself when it has none.
  // The task must not be touched afterwards.
  void Finish();

  void* Target() const { return target_; }
  bool IsUndone() const { return undone_; }
  bool IsFinished() const { return finished_; }
  ppUndoer* Owner() const { return owner_; }

 private:
  friend class ppUndoer;
  void* target_ = nullptr;  // not owned
  uint8_t flag_ = 0;
  bool undone_ = false;
  ppTask* next_ = nullptr;  // the next task of the history's stack that holds this one
  ppUndoer* owner_ = nullptr;
  bool finished_ = false;
};
