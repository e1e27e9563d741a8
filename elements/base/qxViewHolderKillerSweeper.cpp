#include "elements/base/qxViewHolderKillerSweeper.h"

#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"

qxViewHolderKillerSweeper::qxViewHolderKillerSweeper(qxViewHolder* holder)
    : ppSweeper(iElementHost::Current().DocumentWindow()), holder_(holder) {
  if (holder_ != nullptr) holder_->killer_ = this;
}

qxViewHolderKillerSweeper::~qxViewHolderKillerSweeper() { DeleteHolder(); }

void qxViewHolderKillerSweeper::Sweep() { DeleteHolder(); }

void qxViewHolderKillerSweeper::DeleteHolder() {
  qxViewHolder* doomed = holder_;
  holder_ = nullptr;
  if (doomed == nullptr) return;
  doomed->killer_ = nullptr;
  delete doomed;
}
