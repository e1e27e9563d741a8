#include "framework/ppCursor.h"

#include "platform/Cursors.h"

ppCursor::ppCursor(plat::HINSTANCE module, int32_t id)
    : cursor_(plat::LoadCursorA(module, plat::MAKEINTRESOURCEA(static_cast<uint16_t>(id & 0xFFFF)))),
      resourceId_(module != nullptr ? (id & 0xFFFF) : 0) {}

void ppCursor::Set() const { plat::SetCursor(cursor_); }
