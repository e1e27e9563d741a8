#include "catalogue/records/zelvproDepthFil.h"

#include <cstring>

#include "database/HandleList.h"

namespace {

void MakeEmptyListOfEmptyBlob(Handle blob) {
  if (blob == nullptr || MemGetSize(blob) != 0) return;
  Handle empty = HandleList::New(0);
  const uint32_t size = uint32_t(MemGetSize(empty));
  MemSetSize(blob, size);
  std::memcpy(*blob, *empty, size);
  HandleList::Dispose(empty);
}

}  // namespace

zelvproDepthFil::zelvproDepthFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      tname_(*this, "tname"),
      colors_(*this, "colors"),
      colorCodes_(*this, "colorCodes") {}

void zelvproDepthFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  SetLocalised(tname_, name_.Text(buffer), buffer, 0);
  MakeEmptyListOfEmptyBlob(colors_.Data(buffer));
  MakeEmptyListOfEmptyBlob(colorCodes_.Data(buffer));
}

void zelvproDepthFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = tname_.WideText(Buffer(buffer)).Narrow();
}
