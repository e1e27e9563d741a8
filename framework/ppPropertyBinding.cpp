#include "framework/ppPropertyBinding.h"

#include "framework/iUndoer.h"
#include "framework/ppPropertyDataUnitTask.h"
#include "framework/ppUndoer.h"

ppPropertyBinding::ppPropertyBinding(iProperty* target, const Vcon::String& name, bool undoable)
    : target_(target), name_(name), undoable_(undoable) {
  if (target_ != nullptr) index_ = target_->IndexOf(name_);
}

ppUndoer* ppPropertyBinding::TargetUndoer() const {
  auto* undoer = dynamic_cast<iUndoer*>(target_);
  return undoer != nullptr ? undoer->GetUndoer() : nullptr;
}

void ppPropertyBinding::SetValue(const ppParameter& value, bool notify) {
  if (target_ == nullptr) return;
  // An undefined property changes nothing, so it leaves no undo step either.
  if (undoable_ && index_ != iProperty::kNoProperty) {
    if (ppUndoer* history = TargetUndoer()) {
      history->Post(new ppPropertyDataUnitTask(target_, index_, value, false, notify));
    }
  }
  target_->SetValueAt(index_, value, notify);
}

void ppPropertyBinding::GetValue(ppParameter& out) {
  if (target_ != nullptr) out = target_->GetValueAt(index_);
}

void ppPropertyBinding::GetTargetName(ppParameter& out) {
  if (target_ != nullptr) out.SetString(target_->NameAt(index_));
}

void ppPropertyBinding::UndoLast() {
  if (ppUndoer* history = TargetUndoer()) history->Undo();
}
