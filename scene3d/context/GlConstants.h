// The OpenGL 1.1 enumeration values the scene code hands to contexts, so that code which draws
// through iContext needs no OpenGL header.
#pragma once

#include <cstdint>

namespace gl {

inline constexpr uint32_t kLines = 1;
inline constexpr uint32_t kPolygon = 9;
inline constexpr uint32_t kDepthBufferBit = 0x100;
inline constexpr uint32_t kColorBufferBit = 0x4000;
inline constexpr uint32_t kLess = 0x201;
inline constexpr uint32_t kLequal = 0x203;
inline constexpr uint32_t kAlways = 0x207;
inline constexpr uint16_t kZero = 0;
inline constexpr uint16_t kOne = 1;
inline constexpr uint16_t kOneMinusSrcColor = 0x301;
inline constexpr uint16_t kSrcAlpha = 0x302;
inline constexpr uint16_t kOneMinusSrcAlpha = 0x303;
inline constexpr uint16_t kOneMinusDstColor = 0x307;
inline constexpr uint16_t kFront = 0x404;
inline constexpr uint16_t kBack = 0x405;
inline constexpr uint32_t kLine = 0x1B01;
inline constexpr uint32_t kFill = 0x1B02;

}  // namespace gl
