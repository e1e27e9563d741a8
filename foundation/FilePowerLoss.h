// Power-loss simulation for crash tests.
//
// While recording, the file layer notes for every file it changes the writes and size changes made
// since that file's last flush, with the bytes each one overwrote. Cut() then does to the files what a
// power cut may do to writes the system never promised to keep: a seeded random subset of them is
// undone (the old bytes put back), one kept write may be torn at a 512-byte boundary (its first part
// on disk, the rest old bytes), and the size goes back to the size after the last size change that
// survived (the flushed size when none did). Everything before a flush survives.
//
// Cut() works on the real files by path; the files must be closed (the simulated program is gone).
// Tests only: the file layer does this bookkeeping only between Start() and Stop().
#pragma once

#include <cstdint>
#include <string>

namespace Vcon {

class FilePowerLoss {
 public:
  // Starts recording; every file counts as flushed as it is when first opened or changed.
  static void Start();
  // Stops recording and forgets what was recorded.
  static void Stop();
  static bool Recording();

  // Applies a power cut chosen by `seed` to every file changed since its last flush, then forgets
  // the record (the files now hold what the disk would). Recording goes on. Returns a line saying
  // what was lost and torn, for failure messages.
  static std::string Cut(uint64_t seed);

  // Called by the file layer, only while recording, just before the change on descriptor `fd` of
  // the file at `path`. `offset` is an absolute byte position.
  static void NoteWrite(int fd, const std::string& path, int64_t offset, uint32_t count);
  static void NoteSetSize(int fd, const std::string& path, uint32_t size);
  // Called after a flush succeeded.
  static void NoteFlush(int fd, const std::string& path);
};

}  // namespace Vcon
