// The resources database (".\settings\resources.cdb"): resources by type and language in the
// resource table, which owns the resource type and language code tables.
//
// Opening makes the resource table in one transaction (adding the header record to a new file);
// errors of the database engine leave the constructor as its error numbers with that transaction
// aborted. User-interface thread only.
#pragma once

#include <memory>

#include "database/ppDatabase.h"

class qxResourceFile;

class qxResourcedb : public ppDatabase {
 public:
  explicit qxResourcedb(ppFileSpec& fileSpec);
  ~qxResourcedb() override;

  qxResourceFile& ResourceFile() const { return *resourceFile_; }

 private:
  std::unique_ptr<qxResourceFile> resourceFile_;
};
