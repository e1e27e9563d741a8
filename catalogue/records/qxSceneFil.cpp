#include "catalogue/records/qxSceneFil.h"

qxSceneFil::qxSceneFil(ppDatabase& database) : ppDatafile(kLayout, database), name_(*this, "name") {}

void qxSceneFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

int32_t qxSceneFil::VisitRecord(void*, int32_t) { return 1; }

bool qxSceneFil::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }
