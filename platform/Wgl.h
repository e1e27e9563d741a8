#pragma once
// The OpenGL context calls the program makes, under the platform's names. A rendering context is made
// on a device context whose pixel format is set (PixelFormat.h), is current on at most one thread at
// a time, and draws into the device context it was last made current with (MesaContext.h tells when
// the pixels land). Failures answer 0 and leave a reason for GetLastError.

#include "platform/GdiTypes.h"
#include "platform/PixelFormat.h"

namespace plat {

class MesaContext;
using HGLRC = MesaContext*;

HGLRC wglCreateContext(HDC dc);
// Deletes a context; one current on the calling thread is released first. A context current on
// another thread is refused.
BOOL wglDeleteContext(HGLRC context);
// Makes `context` current on the calling thread with `dc` as its target; (null, null) releases the
// current one. The context that was current before is finished first, so its drawing is in its pixels.
BOOL wglMakeCurrent(HDC dc, HGLRC context);
HGLRC wglGetCurrentContext();
HDC wglGetCurrentDC();
// `second` shares the display lists and textures of `first`; it must not have been made current yet.
BOOL wglShareLists(HGLRC first, HGLRC second);
// Finishes the drawing of the context current on this thread when it draws into `dc`, so that its
// pixels are complete. Contexts draw into one buffer, so there is nothing to exchange.
BOOL SwapBuffers(HDC dc);

}  // namespace plat
