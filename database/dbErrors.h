// Error numbers of the database engine. They are thrown as bare int32_t values, always through db::Fail
// so that the error hook sees each one.
#pragma once

#include <cstdint>

namespace db {

inline constexpr int32_t kQueueEmpty = 2;        // internal: a queue was popped empty
inline constexpr int32_t kNotFound = 3602;       // key or record not found; record number already free
inline constexpr int32_t kHeldByOther = 3603;    // the record is held by another owner tag
inline constexpr int32_t kOutOfRange = 3604;     // record number below 1 or above the last one
inline constexpr int32_t kAlreadyExists = 3606;  // a named record of that name exists
inline constexpr int32_t kAbortPending = 3610;   // a nested abort waits for the outermost End
// The file's bytes contradict themselves (truncated, zeroed or garbled): an offset, length, count or
// chain points outside what the file holds. Raised instead of reading past the data.
inline constexpr int32_t kDamagedFile = 3620;
inline constexpr int32_t kBadCall = -50;    // a call out of order or without its argument
inline constexpr int32_t kNodeFull = 9000;  // internal to index insertion: a node holds 32 entries

// Passes the number to the process's error hook (the one place to watch errors) and throws it.
[[noreturn]] void Fail(int32_t code);

}  // namespace db
