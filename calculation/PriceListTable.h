// The calculation line table of the open price list, for readers outside the pane (the shopping
// list): the price list pane installs its table while it lives. Not owned. User-interface thread
// only.
#pragma once

class zelvproCalculatorFil;

// Null while no price list exists.
zelvproCalculatorFil* PriceListTable();
void SetPriceListTable(zelvproCalculatorFil* table);
