#include "platform/PixelFormat.h"

#include <array>
#include <map>
#include <mutex>
#include <vector>

#include "platform/Gdi.h"
#include "platform/ResetList.h"
#include "platform/WglTarget.h"

namespace plat {
namespace {

constexpr DWORD kBaseFlags = PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT;
constexpr std::array<DWORD, 3> kFormatFlags = {
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_GDI | kBaseFlags,
    PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER | kBaseFlags,
    PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | kBaseFlags,
};
constexpr DWORD kRequiredMask =
    PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;

thread_local DWORD tLastError = 0;

// Any thread, under gFormatsLock. A memory context's address may come back for a new context, which
// must not inherit a format: the reset forgets them all.
std::mutex gFormatsLock;
std::map<const void*, int32_t> gFormats;  // by window, or by memory context

[[maybe_unused]] const bool kReset = ResetList::Add("pixel formats", [] {
  std::lock_guard<std::mutex> hold(gFormatsLock);
  gFormats.clear();
});

PIXELFORMATDESCRIPTOR Describe(DWORD flags, int32_t colorBits) {
  PIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = flags;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = BYTE(colorBits);
  pfd.cRedBits = pfd.cGreenBits = pfd.cBlueBits = 8;
  pfd.cRedShift = 16;
  pfd.cGreenShift = 8;
  pfd.cBlueShift = 0;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

// The context's formats: the three kinds at the device's colour depth, and again at the depth the
// device capabilities report when that differs (a memory context's capabilities are the screen's).
std::vector<PIXELFORMATDESCRIPTOR> Offered(HDC dc) {
  std::vector<PIXELFORMATDESCRIPTOR> formats;
  int32_t own = WglColorBits(dc);
  if (own == 0) return formats;
  int32_t reported = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  std::vector<int32_t> depths{own};
  if (reported != 0 && reported != own) depths.push_back(reported);
  for (int32_t bits : depths) {
    for (DWORD flags : kFormatFlags) formats.push_back(Describe(flags, bits));
  }
  return formats;
}

int32_t Distance(int32_t a, int32_t b) { return a > b ? a - b : b - a; }

}  // namespace

DWORD GetLastError() { return tLastError; }
void SetLastError(DWORD error) { tLastError = error; }

int32_t DescribePixelFormat(HDC dc, int32_t index, UINT size, PIXELFORMATDESCRIPTOR* out) {
  std::vector<PIXELFORMATDESCRIPTOR> formats = Offered(dc);
  if (formats.empty()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  int32_t count = int32_t(formats.size());
  if (out) {
    if (index < 1 || index > count || size < sizeof(PIXELFORMATDESCRIPTOR)) {
      SetLastError(ERROR_INVALID_PIXEL_FORMAT);
      return 0;
    }
    *out = formats[size_t(index - 1)];
  }
  return count;
}

int32_t ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
  std::vector<PIXELFORMATDESCRIPTOR> formats = Offered(dc);
  if (!request || formats.empty()) return 0;
  DWORD required = request->dwFlags & kRequiredMask;
  bool dontCareDouble = (request->dwFlags & PFD_DOUBLEBUFFER_DONTCARE) != 0;
  int32_t best = 0;
  int32_t bestScore = 0;
  for (int32_t i = 1; i <= int32_t(formats.size()); ++i) {
    const PIXELFORMATDESCRIPTOR& f = formats[size_t(i - 1)];
    if ((f.dwFlags & required) != required || f.iPixelType != request->iPixelType) continue;
    // Lower is better: a double-buffering mismatch outweighs any difference in bits.
    bool doubleMismatch = !dontCareDouble && ((f.dwFlags ^ request->dwFlags) & PFD_DOUBLEBUFFER) != 0;
    int32_t score = (doubleMismatch ? 100000 : 0) + Distance(f.cColorBits, request->cColorBits) * 100 +
                    Distance(f.cDepthBits, request->cDepthBits);
    if (best == 0 || score < bestScore) {
      best = i;
      bestScore = score;
    }
  }
  if (best == 0) SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return best;
}

BOOL SetPixelFormat(HDC dc, int32_t index, const PIXELFORMATDESCRIPTOR*) {
  std::optional<WglTarget> target = ResolveWglTarget(dc);
  int32_t count = DescribePixelFormat(dc, 1, 0, nullptr);
  if (!target || index < 1 || index > count) {
    SetLastError(target ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
    return 0;
  }
  std::lock_guard<std::mutex> hold(gFormatsLock);
  auto [it, added] = gFormats.emplace(target->formatOwner, index);
  // A window keeps its first format. A memory context's address may be a new context's after the
  // old one was deleted, so it takes whatever is asked.
  if (!added && it->second != index) {
    if (target->window) {
      SetLastError(ERROR_INVALID_PIXEL_FORMAT);
      return 0;
    }
    it->second = index;
  }
  return 1;
}

int32_t GetPixelFormat(HDC dc) {
  std::optional<WglTarget> target = ResolveWglTarget(dc);
  if (!target) return 0;
  std::lock_guard<std::mutex> hold(gFormatsLock);
  auto it = gFormats.find(target->formatOwner);
  return it == gFormats.end() ? 0 : it->second;
}

}  // namespace plat
