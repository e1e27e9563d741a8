// Marks a property object that counts the undoable edits still open on it and disposes of itself
// when the last one ends. Edit tasks on such an object send it iProperty::kBeginEdit when they are
// made and iProperty::kEndEdit when they are deleted, so it outlives every task that refers to it.
#pragma once

class iViewHolder {
 public:
  virtual ~iViewHolder() = default;
};
