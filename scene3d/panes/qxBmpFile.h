// BMP files of off-screen pictures: the 14-byte file header ("BM", file size, offset 54), the 40-byte
// bitmap header, then the pixel rows as the bitmap holds them.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/GdiTypes.h"

namespace qxBmpFile {

inline constexpr uint32_t kHeadersSize = 54;

// Writes the picture of `header` (biSizeImage bytes at `bits`) to `path`, replacing what the file
// held. A file error of the file layer (its number, thrown as int32_t) passes on after the file is
// closed; a file that existed already is not an error.
void Write(const Vcon::WString& path, const plat::BITMAPINFOHEADER& header, const uint8_t* bits);

}  // namespace qxBmpFile
