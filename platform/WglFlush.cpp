#include "platform/WglFlush.h"

#include <GL/osmesa.h>

#include "platform/MesaContext.h"
#include "platform/Wgl.h"

namespace plat {
namespace {

using GlCall = void (*)();

// Mesa's own entry, asked of Mesa (the names themselves lead here).
GlCall Mesa(const char* name) {
  GlCall call = reinterpret_cast<GlCall>(OSMesaGetProcAddress(name));
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
  static const GlCall call = Mesa("glFlush");
  call();
}

void MesaFinish() {
  static const GlCall call = Mesa("glFinish");
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
