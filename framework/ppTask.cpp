#include "framework/ppTask.h"

#include <algorithm>

#include "framework/ppUndoer.h"
#include "framework/ppView.h"

namespace {

// Every live task that has kept a view. Each adds itself with its first kept view and removes itself
// when it goes, so the list is empty whenever no such task lives and needs no reset.
// User-interface thread only.
std::vector<ppTask*>& Keepers() {
  static std::vector<ppTask*> keepers;
  return keepers;
}

// The objects whose destruction is under way (ppTask::Destroying), innermost last. Empty whenever no
// destruction is, so it needs no reset. User-interface thread only.
std::vector<const void*>& BeingDestroyed() {
  static std::vector<const void*> objects;
  return objects;
}

}  // namespace

ppTask::Destroying::Destroying(const void* object) { BeingDestroyed().push_back(object); }

ppTask::Destroying::~Destroying() { BeingDestroyed().pop_back(); }

bool ppTask::IsBeingDestroyed(const void* object) {
  const std::vector<const void*>& objects = BeingDestroyed();
  return std::find(objects.begin(), objects.end(), object) != objects.end();
}

ppTask::~ppTask() {
  if (keeper_) {
    std::vector<ppTask*>& keepers = Keepers();
    keepers.erase(std::remove(keepers.begin(), keepers.end(), this), keepers.end());
  }
}

void ppTask::Do() { undone_ = false; }
void ppTask::SetTarget(void* target) { target_ = target; }
void ppTask::Undo() { undone_ = true; }
void ppTask::Redo() { undone_ = false; }
bool ppTask::Absorb(ppTask*) { return false; }
bool ppTask::IsEmpty() { return false; }

void ppTask::Finish() {
  finished_ = true;
  if (owner_ && owner_->Holds(this)) {
    owner_->Remove(this);
  } else {
    delete this;
  }
}

void ppTask::Keep(ppView* view) {
  if (view == nullptr || Keeps(view)) return;
  if (!keeper_) Keepers().push_back(this);
  keeper_ = true;
  kept_.push_back(view);
}

bool ppTask::Keeps(const void* object) const {
  for (const ppView* view : kept_)
    if (static_cast<const void*>(view) == object) return true;
  return false;
}

void ppTask::LetGo(const void* object) {
  // Compared by address only: the object may be half destroyed already.
  kept_.erase(
      std::remove_if(kept_.begin(), kept_.end(),
                     [object](const ppView* view) { return static_cast<const void*>(view) == object; }),
      kept_.end());
}

void ppTask::LetGoEverywhere(const void* object) {
  for (ppTask* task : Keepers()) task->LetGo(object);
}

void ppTask::DeleteKept(ppView* view) {
  if (view == nullptr || !Keeps(view)) return;
  // Its own destruction is under way (a task that still keeps it is being dropped for another view
  // this one's destruction freed): it is not touched.
  if (IsBeingDestroyed(view)) {
    LetGo(view);
    return;
  }
  // Forgotten first: the view's destruction lets go of it everywhere anyway, and may delete views
  // this task keeps besides it (its subviews), which it forgets the same way.
  LetGo(view);
  delete view;
}

void ppTask::DeleteKeptIfLoose(ppView* view) {
  if (view == nullptr || !Keeps(view) || IsBeingDestroyed(view) || view->GetSupervisor() != nullptr) return;
  DeleteKept(view);
}
