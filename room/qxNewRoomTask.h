// Replaces the whole document by a room template: a packed document snapshot (the "scene" blob of a
// catalogue qxScene record) is swapped in through the document loader, keeping the new-room
// canvas's drawing grid. Undo swaps the earlier document back, Redo the template again.
//
// Ownership: the task owns its copy of the template and the snapshot of the document before Do.
// User-interface thread only.
#pragma once

#include "foundation/Vcon_HandleManager.h"
#include "framework/ppCollaborator.h"
#include "framework/ppTask.h"

class qxNewRoomTask : public ppTask, public ppCollaborator {
 public:
  // Keeps a copy of `scene` (null: a task that swaps nothing); the caller keeps its own handle.
  // `templateId` is the scene record's id: the room swapped in remembers it as the template it was
  // made from (0: none).
  explicit qxNewRoomTask(Handle scene, int32_t templateId = 0);
  ~qxNewRoomTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;

  // The document as it was before Do; null until Do has swapped a readable template in.
  Handle Before() const { return before_; }

 private:
  Handle before_ = nullptr;    // owned
  Handle template_ = nullptr;  // owned
  int32_t templateId_ = 0;
};
