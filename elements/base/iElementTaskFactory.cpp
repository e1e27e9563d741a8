#include "elements/base/iElementTaskFactory.h"

#include "framework/ppTask.h"
#include "platform/ResetList.h"

namespace {

iElementTaskFactory gNeutral;
// The installed factory (not owned); user-interface thread only.
iElementTaskFactory* gInstalled = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element task factory", [] { iElementTaskFactory::Install(nullptr); });

}  // namespace

iElementTaskFactory& iElementTaskFactory::Current() { return gInstalled != nullptr ? *gInstalled : gNeutral; }

void iElementTaskFactory::Install(iElementTaskFactory* factory) { gInstalled = factory; }

void iElementTaskFactory::StartWithElement(ppTask* task, int32_t /*x*/, int32_t /*y*/,
                                           std::unique_ptr<ppRegion> /*feedback*/) {
  delete task;
}
