#include "database/dbPictHandler.h"

#include "foundation/ppParameter.h"

void dbPictHandler::SetFromValue(const ppParameter& value, char* field) {
  const Handle from = value.GetHandle();
  const Handle to = Data(field);
  if (from == to) return;
  if (from == nullptr) {
    MemSetSize(to, 0);
    return;
  }
  MemCopy(from, to);
}

void dbPictHandler::GetAsValue(ppParameter* out, const char* field) const { out->SetHandle(Data(field)); }
