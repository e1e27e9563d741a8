// Reading and writing the float and point fields of the room's document records (module records and
// outline records), and the whole-millimetre values they store. A field the layout lacks reads 0 and
// is not written.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

class ppDatafile;

namespace roomrecord {

// Truncated toward zero; a value outside the 32-bit range (or not a number) gives 0.
int32_t WholeMillimetres(float value);

// Float fields go through the field's own value conversion.
float ReadFloat(ppDatafile& file, const char* name);
void WriteFloat(ppDatafile& file, const char* name, float value);
// The three fields `prefix`.x, `prefix`.y and `prefix`.z.
ppVector3 ReadPoint(ppDatafile& file, const char* prefix);
void WritePoint(ppDatafile& file, const char* prefix, const ppVector3& point);

}  // namespace roomrecord
