#pragma once
// The document window's colour table as the adorners see it: an array of colours in percent that the
// document window fills and publishes when it is made. Colour numbers are indexes into it; callers
// pass numbers that the document window filled (the table's size is not known here).

#include <cstdint>

#include "framework/ColorConversion.h"

// Not owned; null until a document window publishes its table.
void SetDocumentColorTable(const ppRGBColor* table);
const ppRGBColor* DocumentColorTable();
// Sets the context's drawing colour to entry `number`; black while no table is published.
class ppDC;
void SetDocumentColor(ppDC& dc, int32_t number);
