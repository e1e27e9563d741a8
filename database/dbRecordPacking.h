// Byte-level helpers of the packed record form: tags aligned to 4 bytes counted from the start of
// the packed record, and bounds-checked reads of the payloads.
#pragma once

#include <cstdint>

namespace db {

inline constexpr int32_t kEndTag = -1;  // 0xFFFFFFFF ends every packed record

inline constexpr uint32_t AlignTo4(uint32_t pos) { return (pos + 3u) & ~3u; }

// Zeroes the padding up to the next multiple of 4, writes the tag; returns the position after it.
uint32_t PutTag(uint8_t* base, uint32_t pos, int32_t tag);
// Aligns `pos` up to 4; when the word there (inside `size`) equals `tag`, sets found and returns
// the position after it, else clears found and returns the aligned position.
uint32_t CheckTag(const uint8_t* base, uint32_t pos, uint32_t size, int32_t tag, bool& found);

uint32_t PutU32(uint8_t* base, uint32_t pos, uint32_t value);
uint32_t PutU64(uint8_t* base, uint32_t pos, uint64_t value);
uint32_t PutBytes(uint8_t* base, uint32_t pos, const void* bytes, uint32_t n);
// Zeroes from `pos` up to the next multiple of 4.
uint32_t PadTo4(uint8_t* base, uint32_t pos);

// Reads throw kDamagedFile when the value does not lie wholly inside `size`.
uint32_t GetU32(const uint8_t* base, uint32_t pos, uint32_t size, uint32_t& value);
uint64_t GetU64At(const uint8_t* base, uint32_t pos, uint32_t size);
// Checks that n bytes from pos lie inside size.
void RequireBytes(uint32_t pos, uint32_t n, uint32_t size);

}  // namespace db
