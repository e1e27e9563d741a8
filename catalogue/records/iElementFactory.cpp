#include "catalogue/records/iElementFactory.h"

#include "platform/ResetList.h"

namespace {

// The plan elements' factory, installed by them (not owned); user-interface thread only.
iElementFactory* gElementFactory = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element factory", [] { gElementFactory = nullptr; });

}  // namespace

iElementFactory* ElementFactory() { return gElementFactory; }

void SetElementFactory(iElementFactory* factory) { gElementFactory = factory; }
