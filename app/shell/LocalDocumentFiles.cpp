#include "app/shell/LocalDocumentFiles.h"

#include "canvas/window/zelvproWindow.h"
#include "elements/base/iElementHost.h"
#include "room/iDocumentLoader.h"

namespace {

// The document window while it is the element host (from the start of its construction on).
zelvproWindow* CurrentDocumentWindow() { return dynamic_cast<zelvproWindow*>(&iElementHost::Current()); }

}  // namespace

LocalDocumentFiles::LocalDocumentFiles(zelvproDocFil& document)
    : steps_(&CurrentDocumentWindow), operations_(document, steps_), commands_(operations_, document) {
  iDocumentLoader::Install(&operations_);
}

LocalDocumentFiles::~LocalDocumentFiles() {
  if (&iDocumentLoader::Current() == &operations_) iDocumentLoader::Install(nullptr);
}
