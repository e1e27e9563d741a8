// Points between an element's own frame, its container's and the plan (the root canvas's frame), as the
// elements' one-level placements take them (LocalToWorld, WorldToLocal) applied in turn up or down the
// chain of containing elements. Plan millimetres. User-interface thread only.
#pragma once

#include "foundation/ppMatrix4.h"
#include "foundation/ppVector3.h"

class ppView;
class zelvproElement;

// A point of `element`'s own frame in the plan.
ppVector3 PlanPoint(const zelvproElement* element, const ppVector3& local);
// A plan point in the frame of `container` (its children's positions); unchanged for a plain view.
ppVector3 ContainerPoint(const ppView* container, const ppVector3& plan);
// The matrix that takes `element`'s own frame to the plan (row vectors, as ppMatrix4::TransformPoint).
ppMatrix4 PlanMatrix(const zelvproElement* element);
