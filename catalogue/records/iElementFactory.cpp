#include "catalogue/records/iElementFactory.h"

namespace {

// The plan elements' factory; user-interface thread only.
iElementFactory* g_elementFactory = nullptr;

}  // namespace

iElementFactory* ElementFactory() { return g_elementFactory; }

void SetElementFactory(iElementFactory* factory) { g_elementFactory = factory; }
