#include "room/RoomRecordFields.h"

#include <cmath>
#include <string>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"

namespace roomrecord {

int32_t WholeMillimetres(float value) {
  return std::isfinite(value) && std::fabs(value) < 2.0e9f ? int32_t(value) : 0;
}

float ReadFloat(ppDatafile& file, const char* name) {
  const RecordField field(file, name);
  if (!field.Exists()) return 0.0f;
  ppParameter value;
  file.GetFieldValue(field.Index(), value, file.GetRecordBuffer());
  return value.ToFloat();
}

void WriteFloat(ppDatafile& file, const char* name, float value) {
  const RecordField field(file, name);
  if (field.Exists()) file.SetFieldValue(field.Index(), ppParameter(value), file.GetRecordBuffer());
}

ppVector3 ReadPoint(ppDatafile& file, const char* prefix) {
  const std::string p(prefix);
  return ppVector3(ReadFloat(file, (p + ".x").c_str()), ReadFloat(file, (p + ".y").c_str()),
                   ReadFloat(file, (p + ".z").c_str()));
}

void WritePoint(ppDatafile& file, const char* prefix, const ppVector3& point) {
  const std::string p(prefix);
  WriteFloat(file, (p + ".x").c_str(), point.x);
  WriteFloat(file, (p + ".y").c_str(), point.y);
  WriteFloat(file, (p + ".z").c_str(), point.z);
}

}  // namespace roomrecord
