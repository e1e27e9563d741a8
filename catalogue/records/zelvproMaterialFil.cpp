#include "catalogue/records/zelvproMaterialFil.h"

#include "foundation/TextsById.h"

zelvproMaterialFil::zelvproMaterialFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database), name_(*this, "name") {}

void zelvproMaterialFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

void zelvproMaterialFil::FieldNameAt(int32_t field, Vcon::String& out) {
  zelvproRecordFil::FieldNameAt(field, out);
  if (field != 0) return;
  Vcon::WString text;
  if (GetTextById(kIdFieldText, text)) out = text.Narrow();
}
