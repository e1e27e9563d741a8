#include "framework/ppDataUnit.h"

void ppDataUnit::GetTargetName(ppParameter&) {}

Vcon::String ppDataUnit::GetName() { return "value"; }
