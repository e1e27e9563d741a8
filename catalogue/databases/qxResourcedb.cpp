#include "catalogue/databases/qxResourcedb.h"

#include "catalogue/records/qxResourceFile.h"

// A failed opening destroys the resource table with the other members, after the abort.
qxResourcedb::qxResourcedb(ppFileSpec& fileSpec) : ppDatabase(fileSpec) {
  BeginTransaction();
  try {
    resourceFile_ = std::make_unique<qxResourceFile>(*this);
  } catch (...) {
    AbortTransaction();
    throw;
  }
  EndTransaction();
}

qxResourcedb::~qxResourcedb() { resourceFile_.reset(); }
