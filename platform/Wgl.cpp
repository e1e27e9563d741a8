#include "platform/Wgl.h"

#include <map>
#include <mutex>
#include <thread>

#include "platform/MesaContext.h"
#include "platform/WglTarget.h"

namespace plat {
namespace {

// Every live context and the thread it is current on (none: a default id); any thread, under gLock.
// Contexts are their makers' to delete, so a reset leaves them.
std::mutex gLock;
std::map<HGLRC, std::thread::id> gContexts;

void Disclaim(HGLRC context);

// The context current on this thread. A thread that ends with one current releases it, its drawing
// finished, so that other threads may use it.
struct ThreadCurrent {
  HGLRC context = nullptr;
  ~ThreadCurrent() {
    if (!context) return;
    context->Unbind();
    Disclaim(context);
  }
};
thread_local ThreadCurrent tThread;

bool IsLive(HGLRC context) {
  std::lock_guard<std::mutex> hold(gLock);
  return context && gContexts.count(context) != 0;
}

// Claims `context` for this thread; false when another thread holds it.
bool Claim(HGLRC context) {
  std::lock_guard<std::mutex> hold(gLock);
  auto it = gContexts.find(context);
  if (it == gContexts.end()) return false;
  if (it->second != std::thread::id() && it->second != std::this_thread::get_id()) return false;
  it->second = std::this_thread::get_id();
  return true;
}

void Disclaim(HGLRC context) {
  std::lock_guard<std::mutex> hold(gLock);
  auto it = gContexts.find(context);
  if (it != gContexts.end()) it->second = std::thread::id();
}

void ReleaseCurrent() {
  if (!tThread.context) return;
  tThread.context->Unbind();
  Disclaim(tThread.context);
  tThread.context = nullptr;
}

}  // namespace

HGLRC wglCreateContext(HDC dc) {
  int32_t format = GetPixelFormat(dc);
  if (format == 0) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return nullptr;
  }
  auto context = std::make_unique<MesaContext>(format);
  if (!context->Valid()) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return nullptr;
  }
  std::lock_guard<std::mutex> hold(gLock);
  HGLRC handle = context.release();
  gContexts.emplace(handle, std::thread::id());
  return handle;
}

BOOL wglDeleteContext(HGLRC context) {
  if (context && context == tThread.context) ReleaseCurrent();
  {
    std::lock_guard<std::mutex> hold(gLock);
    auto it = gContexts.find(context);
    if (it == gContexts.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
    if (it->second != std::thread::id()) {
      SetLastError(ERROR_BUSY);
      return 0;
    }
    gContexts.erase(it);
  }
  delete context;
  return 1;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
  if (!context) {
    ReleaseCurrent();
    return 1;
  }
  if (!IsLive(context)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  std::optional<WglTarget> target = ResolveWglTarget(dc);
  if (!target || GetPixelFormat(dc) == 0) {
    SetLastError(target ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
    return 0;
  }
  if (context != tThread.context) {
    if (!Claim(context)) {
      SetLastError(ERROR_BUSY);
      return 0;
    }
    if (tThread.context) {
      tThread.context->Publish();
      Disclaim(tThread.context);
    }
    tThread.context = context;
  } else {
    context->Publish();
  }
  if (!context->Bind(dc, *target)) {
    ReleaseCurrent();
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return 0;
  }
  return 1;
}

HGLRC wglGetCurrentContext() { return tThread.context; }

HDC wglGetCurrentDC() { return tThread.context ? tThread.context->BoundDc() : nullptr; }

BOOL wglShareLists(HGLRC first, HGLRC second) {
  if (!IsLive(first) || !IsLive(second)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!second->ShareWith(*first)) {
    SetLastError(ERROR_BUSY);
    return 0;
  }
  return 1;
}

BOOL SwapBuffers(HDC dc) {
  if (!tThread.context || !tThread.context->BoundDc()) return GetPixelFormat(dc) != 0;
  // Any context of the window will do: a paint context, or the one the rendering context was bound with.
  bool same = tThread.context->BoundDc() == dc;
  if (!same) {
    std::optional<WglTarget> target = ResolveWglTarget(dc);
    same = target && target->formatOwner == tThread.context->BoundOwner();
  }
  if (same) tThread.context->Publish();
  return same || GetPixelFormat(dc) != 0;
}

}  // namespace plat
