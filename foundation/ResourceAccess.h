// Reading the resources compiled into the program: typed resources copied into handles, TXET texts and
// the numbered strings of STRINGARRAY lists.
//
// A missing resource is reported with the memory error box (1050 for typed resources and texts, 1052
// for string lists; LoadResourceHandle shows none) and then the error number -1 is thrown as int32_t.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"

// A resource type as a 32-bit code whose four bytes, in memory order, are the type's name:
// ResourceTypeCode("Impt") == 0x74706D49. The lookup ignores letter case.
constexpr uint32_t ResourceTypeCode(const char (&name)[5]) {
  return uint32_t(uint8_t(name[0])) | uint32_t(uint8_t(name[1])) << 8 | uint32_t(uint8_t(name[2])) << 16 |
         uint32_t(uint8_t(name[3])) << 24;
}

// A new handle, owned by the caller, holding the bytes of the typed resource with the id's low 16 bits.
Handle LoadResourceById(uint32_t typeCode, int32_t id);
// The same for a resource given by name or by id; no box is shown when it is missing.
Handle LoadResourceHandle(uint32_t typeCode, const char* name);
Handle LoadResourceHandle(uint32_t typeCode, int32_t id);
// Disposes a handle of the loaders above; null is ignored.
void ReleaseResourceHandle(Handle h);

// The text of the TXET resource `id`, narrow or widened through the ANSI code page.
void GetTextResourceNarrow(uint16_t id, Vcon::String& out);
Vcon::WString GetTextResource(uint16_t id);

// String number n (counted from 1; 1 or less gives the first) of the STRINGARRAY resource `listId`.
// A number past the last string gives the empty text.
void GetStringArrayItemNarrow(Vcon::String& out, uint16_t listId, int32_t n);
void GetStringArrayText(Vcon::WString& out, uint16_t listId, int32_t n);
// The same into a buffer of `capacity` bytes, NUL included; a longer string is cut to fit.
void GetStringArrayItemC(char* buffer, size_t capacity, uint16_t listId, int32_t n);
template <size_t N>
void GetStringArrayItemC(char (&buffer)[N], uint16_t listId, int32_t n) {
  GetStringArrayItemC(buffer, N, listId, n);
}
