// A counted list of 32-bit record numbers kept in a handle: u32 count, u32 capacity, then capacity
// entries (4 x capacity + 8 bytes, little-endian). Every query of the database answers one; the
// caller owns the handle and frees it with Dispose.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"

class HandleList {
 public:
  static constexpr uint32_t kHeaderBytes = 8;
  static constexpr uint32_t kGrowEntries = 32;  // a full list grows by this many entries

  static Handle New(uint32_t capacity);
  static void Dispose(Handle list);  // null is ignored
  static uint32_t Count(Handle list);
  static uint32_t Capacity(Handle list);
  static void SetCount(Handle list, uint32_t count);  // count must not exceed the capacity
  // No bound check, like the original: callers index below Count.
  static int32_t At(Handle list, uint32_t i);
  static void SetAt(Handle list, uint32_t i, int32_t value);
  // Inserts at i; i at or past the count, or -1, appends. A full list grows by 32 entries.
  static void Insert(Handle list, int32_t value, int32_t i = -1);
  // Appends n values, the list growing by as many 32-entry steps as n appends would take it.
  static void Append(Handle list, const int32_t* values, uint32_t n);
  static int32_t IndexOf(Handle list, int32_t value);  // first index, or -1
  static void RemoveAt(Handle list, uint32_t i);       // out of range: nothing
  static void Reset(Handle list);                      // back to the 8-byte header, count 0

  // Set operations: the first list changes in place, the second is only read. Entries are record
  // numbers >= 0 (negative entries never match).
  static void IntersectWith(Handle list, Handle other);   // "&": keep entries found in other
  static void UnionWith(Handle list, Handle other);       // "+": append other's entries not in list
  static void DifferenceWith(Handle list, Handle other);  // "-": keep entries not found in other
};
