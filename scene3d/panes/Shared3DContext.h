// The one OpenGL context the document's 3D panes draw and pick through, made on the device context
// of the pane that first draws (or first asks for a surface point). A pane whose device context it
// was forgets it when it goes, so the next pane makes a new one: a released device context draws
// nothing. The shut-down code deletes it beside ReleaseOpenGL. User-interface thread.
#pragma once

#include "platform/GdiTypes.h"

class glContext;

class Shared3DContext {
 public:
  // The context, null until made.
  static glContext* Get();
  // The context, made on `dc` (its pixel format already set) when there is none.
  static glContext* GetOrMake(plat::HDC dc);
  // Deletes the context when it was made on `dc` (a pane releasing its device context).
  static void ForgetDC(plat::HDC dc);
  // Deletes the context (program exit; tests).
  static void Delete();
};
