// The checked state of the application frame's menu commands, as the frame publishes it for the
// elements (command 3001: element panels are built by the canvas instead). Every command reads
// unchecked until the frame sets it.
#pragma once

#include <cstdint>

bool IsMenuCommandChecked(int32_t command);
void SetMenuCommandChecked(int32_t command, bool checked);
