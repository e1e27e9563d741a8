// Deletes a holder chain once the edit that closed its last batch has finished. The sweeper owns the
// chain from its making: the chain goes when the sweeper runs, or with the sweeper when its window
// vanished and it is deleted unrun. A chain deleted earlier tells its sweeper to forget it.
// User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class qxViewHolder;

class qxViewHolderKillerSweeper : public ppSweeper {
 public:
  // Posts itself to the document window and takes `holder` (with the rest of its chain) over.
  explicit qxViewHolderKillerSweeper(qxViewHolder* holder);
  ~qxViewHolderKillerSweeper() override;

  void Sweep() override;
  qxViewHolder* Holder() const { return holder_; }
  // The chain was deleted elsewhere: nothing is left to delete.
  void Forget() { holder_ = nullptr; }

 private:
  void DeleteHolder();

  qxViewHolder* holder_;  // owned
};
