// The deferred second re-snap of the children a dissolved group freed: it runs after the messages
// already queued, re-snaps and marks every freed child, redraws the plan and asks for numbering.
// The sweeper owns the holder chain from its making; an unrun sweeper deletes it with itself.
// User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class qxViewHolder;

class qxGroupSweeper : public ppSweeper {
 public:
  // Posts itself to the window of the first holder's element and takes `chain` over.
  explicit qxGroupSweeper(qxViewHolder* chain);
  ~qxGroupSweeper() override;

  void Sweep() override;

 private:
  qxViewHolder* chain_;  // owned
};
