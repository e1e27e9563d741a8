#include "elements/base/zelvproCanvas.h"

zelvproCanvas::zelvproCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database)
    : zelvproElement(0, parent, frame, database, 0, 0) {}

// The history goes before the elements its tasks name (the element part is destroyed last).
zelvproCanvas::~zelvproCanvas() { Clear(); }
