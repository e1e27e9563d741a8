// The configurator fields of the selector and colour rows (ConfigField::kSelector, kColour): a popup
// selector over the row's list and columns, or a colour field on the row's colour word. The row's
// description keeps its list; the field's query only borrows it, so the description must live as
// long as the panel (the configurator link keeps both together). User-interface thread only.
#pragma once

#include "elements/topview/iConfigurator.h"

class ppConfigPanel;
class ppField;

// The field of a kSelector or kColour row, made in `panel`; null for any other kind.
ppField* MakeSelectorRowField(ppConfigPanel* panel, const ConfigField& row);
