#include "elements/units/qxGroupSweeper.h"

#include "elements/base/iElementHost.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"

namespace {

// The window of the first freed child; the document window while the plan is in none.
plat::HWND WindowOf(qxViewHolder* chain) {
  plat::HWND window = chain != nullptr && chain->Element() != nullptr ? chain->Element()->GetHWND() : nullptr;
  return window != nullptr ? window : iElementHost::Current().DocumentWindow();
}

}  // namespace

qxGroupSweeper::qxGroupSweeper(qxViewHolder* chain) : ppSweeper(WindowOf(chain)), chain_(chain) {}

qxGroupSweeper::~qxGroupSweeper() { delete chain_; }

void qxGroupSweeper::Sweep() {
  for (qxViewHolder* holder = chain_; holder != nullptr; holder = holder->Next()) {
    if (zelvproElement* element = holder->Element()) {
      element->Resnap();
      element->MarkTreePendingUpdate();
    }
  }
  delete chain_;
  chain_ = nullptr;
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  ScheduleEnumNumbering();
}
