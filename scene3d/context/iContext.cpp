#include "scene3d/context/iContext.h"

#include "foundation/ppMatrix4.h"

void iContext::GetMatrix(ppMatrix4& out) { out.SetIdentity(); }
