#pragma once
// OpenGL's glFlush and glFinish as the program calls them: Mesa's, and then the drawing of the
// context current on the thread is copied into its target's pixels, so that what was drawn shows at
// once, as single-buffered drawing on the platform does, and 2D drawing issued afterwards lands on
// top. The layer's own code calls Mesa's directly through these two.

namespace plat {

void MesaFlush();
void MesaFinish();

}  // namespace plat
