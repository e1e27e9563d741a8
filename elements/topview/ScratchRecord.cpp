#include "elements/topview/ScratchRecord.h"

#include <cstring>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/topview/CatalogReads.h"

ScratchRecord::ScratchRecord(ppDatafile& file, int32_t id) : file_(file), buffer_(file) {
  present_ = CatalogReads::Read(file, id, buffer_.Get());
}

int32_t ScratchRecord::Long(const char* name) const {
  return present_ ? RecordField(file_, name).Long(buffer_.Get()) : 0;
}

double ScratchRecord::Double(const char* name) const {
  return present_ ? RecordField(file_, name).Double(buffer_.Get()) : 0.0;
}

Vcon::WString ScratchRecord::Wide(const char* name) const {
  return present_ ? RecordField(file_, name).WideText(buffer_.Get()) : Vcon::WString();
}

std::vector<uint8_t> ScratchRecord::Blob(const char* name) const {
  if (!present_) return {};
  Handle data = RecordField(file_, name).Data(buffer_.Get());
  const int32_t size = MemGetSize(data);
  std::vector<uint8_t> bytes(size_t(size > 0 ? size : 0));
  if (!bytes.empty()) std::memcpy(bytes.data(), *data, bytes.size());
  return bytes;
}

std::vector<int32_t> ScratchRecord::Words(const char* name) const {
  return present_ ? RecordField(file_, name).Words(buffer_.Get()) : std::vector<int32_t>();
}
