// Process-wide settings the renderers read. They belong to the user-interface thread; renders on
// the off-screen worker read them while that thread waits for the worker.
#pragma once

#include <cstdint>

#include "foundation/ppFloat4.h"

// Non-zero: the shaded renderers light the room with three more lamps and draw lighter lines. Set by
// the 3D canvas from its control; 0 at start.
extern uint8_t gExtraLights;
// The factor and units of the shaded renderers' polygon offset while they fill faces (the 3D pane's
// render option); 1.0 at start.
extern float gPolygonOffset;
// The last background colour a shaded, hidden-line or wireframe render used; (0.9, 0.9, 0.9, 1) at
// start.
extern ppFloat4 gLastBackground;

// The application's colour `id` as red, green, blue, alpha from 0 to 1; opaque white without an
// application.
ppFloat4 ApplicationColorF(int32_t id);
