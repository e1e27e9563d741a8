#pragma once
// What views answer about undo: the undo history that their edits go to. Canvases answer their own;
// every other view asks its supervisor.

class ppUndoer;

class iUndoer {
 public:
  virtual ~iUndoer() = default;
  virtual ppUndoer* GetUndoer() = 0;
  // Called on a subview just before its supervisor deletes it; nothing by default.
  virtual void WillBeDeleted() {}
};
