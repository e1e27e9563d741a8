// A cursor image as the window runs' driver writes it (its `cursor:FILE` step, tests/support/X11Drive),
// read back, and whether it shows one of the program's own cursors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Cursors.h"

namespace apptest {

// A cursor image as the driver's cursor step wrote it: straight 0xAARRGGBB a pixel.
struct CursorShot {
  int hotX = -1, hotY = -1, width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
inline CursorShot ReadCursorShot(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  CursorShot shot;
  for (std::string line; std::getline(in, line) && line != "ENDHDR";) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "#") words >> key >> shot.hotX >> shot.hotY;
    if (key == "WIDTH") words >> shot.width;
    if (key == "HEIGHT") words >> shot.height;
  }
  for (int i = 0; i < shot.width * shot.height; ++i) {
    unsigned char rgba[4] = {};
    if (!in.read(reinterpret_cast<char*>(rgba), 4)) return CursorShot{};
    shot.pixels.push_back(uint32_t(rgba[3]) << 24 | uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 |
                          rgba[2]);
  }
  return shot;
}

// Whether the display showed the program's own cursor `picture`: same size, hot spot and pixels (a
// clear pixel reads clear whatever its colour).
inline bool SameCursor(const CursorShot& shot, const plat::CursorPicture& picture) {
  if (shot.width != picture.width || shot.height != picture.height || shot.hotX != picture.hotX ||
      shot.hotY != picture.hotY || shot.pixels.size() != picture.pixels.size())
    return false;
  for (size_t i = 0; i < shot.pixels.size(); ++i) {
    const uint32_t a = shot.pixels[i], b = picture.pixels[i];
    if ((a >> 24) != (b >> 24) || ((a >> 24) != 0 && a != b)) return false;
  }
  return true;
}

}  // namespace apptest
