// The program-wide paste offset: how far (millimetres, in x and in z) the next paste moves the copied
// elements. 250 at start and after every copy; every paste raises it by 250 after use.
// User-interface thread only.
#pragma once

float PasteOffset();
void SetPasteOffset(float millimetres);
