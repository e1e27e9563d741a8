#include "foundation/ppFileSpec.h"

ppFileSpec::ppFileSpec(const ppFileSpec& other)
    : path(other.path),
      filter(other.filter),
      name(other.name),
      owner(other.owner),
      word2(other.word2),
      word3(other.word3),
      word4(other.word4) {}

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
