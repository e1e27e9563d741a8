#include "platform/WglFlush.h"

#include <dlfcn.h>

#include "platform/GlContext.h"
#include "platform/Wgl.h"

namespace plat {
namespace {

using GlCall = void (*)();

// Mesa's own entry, the next definition after ours in the process's lookup order.
GlCall Next(const char* name) {
  GlCall call = reinterpret_cast<GlCall>(dlsym(RTLD_NEXT, name));
  return call ? call : +[] {};
}

thread_local bool tPublishing = false;

void PublishCurrent() {
  HGLRC context = wglGetCurrentContext();
  if (!context || tPublishing) return;
  tPublishing = true;
  context->Publish();
  tPublishing = false;
}

}  // namespace

void MesaFlush() {
  static const GlCall call = Next("glFlush");
  call();
}

void MesaFinish() {
  static const GlCall call = Next("glFinish");
  call();
}

}  // namespace plat

extern "C" void glFlush() {
  plat::MesaFlush();
  plat::PublishCurrent();
}

extern "C" void glFinish() {
  plat::MesaFinish();
  plat::PublishCurrent();
}
