#include "scene3d/panes/qxBmpFile.h"

#include <cstring>

#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"

namespace qxBmpFile {
namespace {

void Put16(uint8_t* at, uint16_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

void Write(const Vcon::WString& path, const plat::BITMAPINFOHEADER& header, const uint8_t* bits) {
  uint8_t headers[kHeadersSize]{};
  headers[0] = 'B';
  headers[1] = 'M';
  Put32(headers + 2, header.biSizeImage + kHeadersSize);
  Put32(headers + 10, kHeadersSize);
  Put32(headers + 14, 40);
  Put32(headers + 18, uint32_t(header.biWidth));
  Put32(headers + 22, uint32_t(header.biHeight));
  Put16(headers + 26, header.biPlanes);
  Put16(headers + 28, header.biBitCount);
  Put32(headers + 30, header.biCompression);
  Put32(headers + 34, header.biSizeImage);
  Put32(headers + 38, uint32_t(header.biXPelsPerMeter));
  Put32(headers + 42, uint32_t(header.biYPelsPerMeter));
  Put32(headers + 46, header.biClrUsed);
  Put32(headers + 50, header.biClrImportant);

  ppFileSpec fileRecord(path);
  try {
    FileCreate(fileRecord);
  } catch (int32_t) {
    // An existing file is opened and cut below; any other fault shows at the open.
  }
  ppFileSpec file;
  FileOpen(file, fileRecord, false);
  try {
    const uint32_t empty = 0;
    FileSetSize(file, &empty);
    FileWrite(file, headers, kHeadersSize, 0);
    FileWrite(file, bits, header.biSizeImage, kFileCurrentPosition);
  } catch (...) {
    FileClose(file);
    throw;
  }
  FileClose(file);
}

}  // namespace qxBmpFile
