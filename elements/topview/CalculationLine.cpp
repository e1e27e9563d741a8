#include "elements/topview/CalculationLine.h"

#include "database/ppDatafile.h"

char* CalculationLine::Buffer() const { return file_.GetRecordBuffer(); }

const RecordField& CalculationLine::Field(const char* name) {
  auto found = fields_.find(name);
  if (found == fields_.end()) found = fields_.emplace(name, RecordField(file_, name)).first;
  return found->second;
}
