#include "catalogue/records/zelvproNoteFil.h"

zelvproNoteFil::zelvproNoteFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      xnote_(*this, "xnote"),
      note_(*this, "note") {}

void zelvproNoteFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  SetLocalised(note_, xnote_.Text(buffer), buffer, 0);
}

void zelvproNoteFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }
