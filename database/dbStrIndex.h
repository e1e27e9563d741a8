// An index with NUL-terminated Windows-1252 text keys, ordered by TextCollation. A node keeps two
// tables of 32 signed 16-bit words at byte 404 (key offsets, counted from byte 532) and 468 (key
// lengths, NUL included); the texts follow byte 532 in the order they were added, so the node record
// grows and shrinks with them and one node's texts stay below 32768 bytes.
#pragma once

#include <string>

#include "database/dbIndex.h"

class dbStrIndex : public dbIndex {
 public:
  static constexpr uint32_t kOffsets = 404, kLengths = 468, kTexts = 532;

  using dbIndex::dbIndex;

  int32_t NodeSize() const override { return 532; }
  int32_t Compare(const void* a, const void* b, int32_t mode) const override;
  void InsertKey(Handle node, int32_t index, const void* key) override;
  void ReplaceKey(Handle node, int32_t index, const void* key) override;
  void RemoveKey(Handle node, int32_t index) override;
  const void* GetKey(Handle node, int32_t index) const override;
  // Writes the tree as text to a new file at `path` (Windows-style or POSIX): one line per entry,
  // indented by one TAB per level, each inner entry followed by its child's subtree.
  void Dump(const std::string& path) override;

  // Every key text with its NUL, back to back, in tree order; the handle is the caller's.
  Handle AllKeys();

 protected:
  size_t KeyBytes(const void* key) const override;
  bool KeysValid(Handle node, int32_t size) const override;
  bool KeyFits(Handle node, const void* key) const override;
  uint8_t KeyCheckTag() const override { return 1; }

 private:
  void DumpNode(int32_t number, int32_t depth, std::string& out);
};
