// The record that names one disk file and, while it is open, holds it.
//
// A file record is a plain value: copying it copies the names and the four words but never the
// open file, so a copy of an open file record is closed. Moving one (construction only) takes the
// open file along, so an open file record returned by value does not lose its file. Nothing closes a file
// implicitly; the owner calls FileClose (foundation/FileOperations.h) before the file record goes away.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/VconString.h"

// The value of ppFileSpec::handle while no file is open.
inline constexpr int32_t kInvalidFileHandle = -1;

class ppFileSpec {
 public:
  ppFileSpec() = default;
  explicit ppFileSpec(const Vcon::WString& filePath) : path(filePath) {}
  ppFileSpec(const ppFileSpec& other);
  ppFileSpec(ppFileSpec&& other) noexcept;
  ppFileSpec& operator=(const ppFileSpec& other);
  ~ppFileSpec() = default;

  bool IsOpen() const { return handle != kInvalidFileHandle; }

  Vcon::WString path;    // full Windows-style path; the only field used to find the file
  Vcon::WString filter;  // filter text of the open and save dialogs; empty otherwise
  Vcon::WString name;    // dialogs: default extension on entry, chosen file name on return
  uint32_t owner = 0;    // owner window of the open dialog; 0 = none
  // Three words carried with the record and not interpreted by the file layer. A database file
  // keeps them in its header: word2 is its four-character type code, word4 a second code.
  uint32_t word2 = 0;
  uint32_t word3 = 0;
  uint32_t word4 = 0;

  // POSIX descriptor of the open file, kInvalidFileHandle when closed or after a failed open.
  int32_t handle = kInvalidFileHandle;
  // The resolved POSIX path of the open file (for the fault hook); empty when closed.
  std::string openPath;
};
