// A table held in a blob field of an owner record: the records, packed, one after another in the
// blob handle. Every property access reloads the table from the blob; every change through the
// property interface writes the whole table back and then the owner's current record, so the
// stored owner always holds the current table.
//
// Blob form (little-endian): for each record an int32 length L, the L bytes of the packed record,
// zero padding to the next multiple of 4 counted from the blob's start; then an int32 0. A reader
// stops at a length below 1, at the end of the blob, or at a length running past the end (the
// records before it are kept). An empty blob is an empty table.
//
// Neither the blob (a handle inside the owner's record buffer) nor the owner is owned; the table
// must not outlive the blob. The destructor writes nothing back.
#pragma once

#include <cstdint>

#include "database/ppSubfile.h"

class ppEmbeddedData : public ppSubfile {
 public:
  ppEmbeddedData(const char* layoutName, ppDatabase& database, Handle blob, ppDatafile* owner);
  ppEmbeddedData(const Vcon::String& layoutName, ppDatabase& database, Handle blob, ppDatafile* owner);
  ~ppEmbeddedData() override;

  // LoadFromBlob.
  void BeginAccess() override;
  // SaveToBlob.
  void EndAccess() override;
  // Writes the table into the blob, then the owner's current record (when an owner is set and
  // has one) inside a transaction of the owner's database.
  void SaveToBlob() override;
  void ClearBlob() override;
  void DisposeRecords() override;

  void LoadFromBlob();
  Handle Blob() const { return blob_; }
  ppDatafile* Owner() const { return owner_; }

 private:
  Handle blob_;
  ppDatafile* owner_;
};
