#include "framework/ppCommandRelay.h"

#include <algorithm>
#include <vector>

#include "framework/ppEventHandler.h"
#include "platform/ResetList.h"

namespace {

struct Passing {
  const ppEventHandler* from;
  int32_t command;
  intptr_t parameter;
  bool operator==(const Passing&) const = default;
};

// The passes under way, outermost first; user-interface thread only.
std::vector<Passing> gUnderWay;
int32_t gDropped = 0;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("command relay", [] {
  gUnderWay.clear();
  gDropped = 0;
});

}  // namespace

bool ppCommandRelay::Pass(ppEventHandler* from, ppEventHandler& to, int32_t command, intptr_t parameter) {
  const Passing pass{from, command, parameter};
  if (int32_t(gUnderWay.size()) >= kMaxDepth ||
      std::find(gUnderWay.begin(), gUnderWay.end(), pass) != gUnderWay.end()) {
    ++gDropped;
    return false;
  }
  gUnderWay.push_back(pass);
  // Popped however the receiver ends, an exception included, so that a later pass is not refused.
  struct Pop {
    ~Pop() {
      if (!gUnderWay.empty()) gUnderWay.pop_back();
    }
  } pop;
  to.DoCommand(command, parameter);
  return true;
}

int32_t ppCommandRelay::DroppedCount() { return gDropped; }
