#include "catalogue/records/zelvproPosSheetFil.h"

zelvproPosSheetFil::zelvproPosSheetFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      fullDepthCut_(*this, "fullDepthCut"),
      stepDepthCut_(*this, "stepDepthCut") {}

void zelvproPosSheetFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

double zelvproPosSheetFil::FullDepthCut(const char* buffer) const {
  return fullDepthCut_.Double(buffer != nullptr ? buffer : record_);
}

double zelvproPosSheetFil::StepDepthCut(const char* buffer) const {
  return stepDepthCut_.Double(buffer != nullptr ? buffer : record_);
}
