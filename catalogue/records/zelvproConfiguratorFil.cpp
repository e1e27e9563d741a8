#include "catalogue/records/zelvproConfiguratorFil.h"

#include "catalogue/records/zelvproConfigFieldFil.h"
#include "foundation/LocaleNumbers.h"

zelvproConfiguratorFil::zelvproConfiguratorFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      id_(*this, "id"),
      name_(*this, "name"),
      data_(*this, "data"),
      fieldFile_(std::make_unique<zelvproConfigFieldFil>(database, data_.Data(record_), this)) {}

// The field table goes first: it works on this table's record buffer.
zelvproConfiguratorFil::~zelvproConfiguratorFil() { fieldFile_.reset(); }

void zelvproConfiguratorFil::AddRecord(int32_t* outId, char* buffer) {
  if (!IsValueUnique(id_.Index(), ppParameter(id_.Long(Buffer(buffer))), 0)) return;
  zelvproRecordFil::AddRecord(outId, buffer);
}

void zelvproConfiguratorFil::AfterRead(char*) {
  // Null until the constructor has made it (a read during construction has no table to reload).
  if (fieldFile_ != nullptr) fieldFile_->LoadFromBlob();
}

void zelvproConfiguratorFil::GetDisplayText(Vcon::String& out, char* buffer) {
  const char* record = Buffer(buffer);
  out = IntToText(id_.Long(record));
  out += " ";
  out += name_.Text(record);
}
