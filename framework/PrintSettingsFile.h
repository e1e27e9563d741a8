#pragma once
// The kept print settings, ".\settings\PrintSettings.dat" relative to the current folder: the
// print-dialog record in its fixed 66-byte stored layout and the two device blocks, little-endian:
//   u32 L (always 66) | L bytes of the record | u32 M | M bytes of the device mode |
//   u32 N | N bytes of the device names
// A missing block is stored as length 0. The record is handled as its stored bytes; the printing
// code converts the print dialog's record to and from them.

#include <array>
#include <cstdint>
#include <string>

#include "platform/GlobalMemory.h"

class PrintSettingsFile {
 public:
  static constexpr uint32_t kRecordSize = 66;
  using Record = std::array<uint8_t, kRecordSize>;

  explicit PrintSettingsFile(std::u16string path = u".\\settings\\PrintSettings.dat");

  // Fills the record and makes new zero-filled movable blocks for the device data (null when a
  // length is 0). False, with the record untouched and both blocks null, when the file cannot be
  // opened or its lengths do not fit what it holds (a damaged file counts as no file).
  bool Read(Record* record, plat::HGLOBAL* deviceMode, plat::HGLOBAL* deviceNames) const;
  // Writes the file anew. A failure (no folder, a full disk) answers false instead of escaping to the
  // caller's message loop; the settings are then simply not kept.
  bool Write(const Record& record, plat::HGLOBAL deviceMode, plat::HGLOBAL deviceNames) const;

 private:
  std::u16string path_;
};
