#include "foundation/FileRecord.h"

#include <utility>

ppFileSpec::ppFileSpec(const ppFileSpec& other)
    : path(other.path),
      filter(other.filter),
      name(other.name),
      owner(other.owner),
      word2(other.word2),
      word3(other.word3),
      word4(other.word4) {}

ppFileSpec::ppFileSpec(ppFileSpec&& other) noexcept
    : path(std::move(other.path)),
      filter(std::move(other.filter)),
      name(std::move(other.name)),
      owner(other.owner),
      word2(other.word2),
      word3(other.word3),
      word4(other.word4),
      handle(other.handle),
      openPath(std::move(other.openPath)) {
  other.handle = kInvalidFileHandle;
  other.openPath.clear();
}

// The open file stays with this record: assigning names another file but does not close this one.
ppFileSpec& ppFileSpec::operator=(const ppFileSpec& other) {
  if (this == &other) return *this;
  path = other.path;
  filter = other.filter;
  name = other.name;
  owner = other.owner;
  word2 = other.word2;
  word3 = other.word3;
  word4 = other.word4;
  return *this;
}
