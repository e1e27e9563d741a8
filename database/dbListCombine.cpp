#include "database/dbListCombine.h"

#include "database/HandleList.h"

namespace db {

void CombineInto(Handle list, Handle other, int32_t combine) {
  const bool otherEmpty = HandleList::Count(other) == 0;
  switch (combine) {
    case '&':
      if (otherEmpty)
        HandleList::SetCount(list, 0);
      else if (HandleList::Count(list) != 0)
        HandleList::IntersectWith(list, other);
      break;
    case '+':
      if (!otherEmpty) HandleList::UnionWith(list, other);
      break;
    case '-':
      if (!otherEmpty && HandleList::Count(list) != 0) HandleList::DifferenceWith(list, other);
      break;
    default:
      break;
  }
}

Handle Minus(Handle list, Handle other) {
  CombineInto(list, other, '-');
  HandleList::Dispose(other);
  return list;
}

Handle Plus(Handle list, Handle other) {
  CombineInto(list, other, '+');
  HandleList::Dispose(other);
  return list;
}

}  // namespace db
