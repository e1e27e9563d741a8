// The item-sheet print switch: while set, the price list prints as the item sheet (ten fixed
// columns, pictures at the sides) instead of its list columns. The application sets it around one
// print command and clears it afterwards. User-interface thread only; on the reset list (cleared).
#pragma once

bool ItemSheetPrintFlag();
void SetItemSheetPrintFlag(bool on);
