#pragma once
// An undoable command: done, undone and redone; it may absorb a following task of its kind, and may
// say after doing that it left nothing to keep. An undo history (ppUndoer) owns the tasks posted to it.
//
// Kept views: a task notes with Keep every view it keeps for its undo or redo besides its target (the
// elements it takes out of the plan or puts in, the containers they go back into). When a kept view
// is destroyed other than through the task, every live task lets go of it (LetGoEverywhere) and the
// histories drop the tasks that kept it (ppUndoer::PurgeTarget): a task deletes a view it owns only
// through DeleteKept or DeleteKeptIfLoose, which leave alone a view that was destroyed first, so
// that view's own destruction is its only one. User-interface thread only.

#include <cstdint>
#include <vector>

class ppUndoer;
class ppView;

class ppTask {
 public:
  ppTask() = default;
  explicit ppTask(void* target) : target_(target) {}
  virtual ~ppTask();
  ppTask(const ppTask&) = delete;
  ppTask& operator=(const ppTask&) = delete;

  virtual void Do();
  virtual void SetTarget(void* target);
  virtual void Undo();
  virtual void Redo();
  // Asked of the top done task when `next` is posted: true when this task took its effect over.
  virtual bool Absorb(ppTask* next);
  virtual bool IsEmpty();
  // True when the task keeps `object` for its undo or redo besides its target (here: a kept view; an
  // override adds what else it keeps, a moved wall's neighbours): an object freed other than through
  // its own tasks takes such tasks off the histories as it takes those it is the target of.
  virtual bool Refers(const void* object) const { return Keeps(object); }

  // Ends the task: its history removes (and deletes) it, or it deletes itself when it has none.
  // The task must not be touched afterwards.
  void Finish();

  void* Target() const { return target_; }
  bool IsUndone() const { return undone_; }
  bool IsFinished() const { return finished_; }
  ppUndoer* Owner() const { return owner_; }

  // Notes `view` (not null) as kept by this task; noting it again changes nothing.
  void Keep(ppView* view);
  // Whether this task keeps the object at `object` (compared by address).
  bool Keeps(const void* object) const;
  // Deletes `view` when this task still keeps it, and forgets it; a view destroyed since it was kept
  // (or never kept) is not touched.
  void DeleteKept(ppView* view);
  // The same, only when the view stands in no view: one the plan took back is the plan's.
  void DeleteKeptIfLoose(ppView* view);
  // The object at `object` is being destroyed: this task forgets it.
  void LetGo(const void* object);
  // Every live task that keeps `object` forgets it. Called by a view's destruction through
  // ppUndoer::PurgeTarget, after the tasks dropped on its account.
  static void LetGoEverywhere(const void* object);

  // While one lives, the object at `object` is being destroyed: no task deletes it, not even one
  // that still keeps it (ppUndoer::PurgeTarget holds one while the tasks it drops, and what they free
  // in turn, go). Nests.
  class Destroying {
   public:
    explicit Destroying(const void* object);
    ~Destroying();
    Destroying(const Destroying&) = delete;
    Destroying& operator=(const Destroying&) = delete;
  };
  static bool IsBeingDestroyed(const void* object);

 private:
  friend class ppUndoer;
  void* target_ = nullptr;  // not owned
  uint8_t flag_ = 0;
  bool undone_ = false;
  ppTask* next_ = nullptr;  // the next task of the history's stack that holds this one
  ppUndoer* owner_ = nullptr;
  bool finished_ = false;
  bool keeper_ = false;        // stands in the list of tasks that LetGoEverywhere walks
  std::vector<ppView*> kept_;  // not owned by the list; see DeleteKept
};
