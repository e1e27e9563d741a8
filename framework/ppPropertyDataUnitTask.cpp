#include "framework/ppPropertyDataUnitTask.h"

#include "framework/iViewHolder.h"

ppPropertyDataUnitTask::ppPropertyDataUnitTask(iProperty* target, int32_t index, const ppParameter& newValue,
                                               bool merge, bool notify)
    : ppTask(target), target_(target), index_(index), newValue_(newValue), merge_(merge), notify_(notify) {
  if (dynamic_cast<iViewHolder*>(target_) != nullptr) {
    bracket_ = true;
    target_->SetValueAt(iProperty::kBeginEdit, ppParameter(0), true);
  }
  oldValue_ = target_->GetValueAt(index_);
}

ppPropertyDataUnitTask::~ppPropertyDataUnitTask() {
  if (bracket_) target_->SetValueAt(iProperty::kEndEdit, ppParameter(0), true);
}

void ppPropertyDataUnitTask::Do() {
  ppTask::Do();
  target_->SetValueAt(index_, newValue_, notify_);
}

void ppPropertyDataUnitTask::Undo() {
  ppTask::Undo();
  target_->SetValueAt(index_, oldValue_, notify_);
}

void ppPropertyDataUnitTask::Redo() { Do(); }

bool ppPropertyDataUnitTask::SameProperty(const ppPropertyDataUnitTask& other) const {
  return target_ == other.target_ && index_ == other.index_;
}

bool ppPropertyDataUnitTask::Absorb(ppTask* next) {
  auto* other = dynamic_cast<ppPropertyDataUnitTask*>(next);
  if (other == nullptr || !SameProperty(*other)) return false;
  if (merge_) {
    newValue_ = other->newValue_;
    return true;
  }
  // Equality converts the right value to the left's type; without the type test a change from
  // 1 to 1.4 would be dropped as a repeat of 1 and a redo would restore 1.
  return newValue_.Type() == other->newValue_.Type() && newValue_ == other->newValue_;
}
