#include "room/iDocumentLoader.h"

#include "platform/ResetList.h"

namespace {

iDocumentLoader gNeutralLoader;
// The installed loader (not owned); user-interface thread only.
iDocumentLoader* gLoader = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("document loader", [] { gLoader = nullptr; });

}  // namespace

iDocumentLoader& iDocumentLoader::Current() { return gLoader != nullptr ? *gLoader : gNeutralLoader; }

void iDocumentLoader::Install(iDocumentLoader* loader) { gLoader = loader; }
