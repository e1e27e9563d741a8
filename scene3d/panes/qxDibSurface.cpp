#include "scene3d/panes/qxDibSurface.h"

#include "platform/Gdi.h"
#include "platform/PixelFormat.h"

plat::BITMAPINFOHEADER qxDibSurface::Header(int32_t width, int32_t height) {
  plat::BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = 0;
  header.biSizeImage = plat::DWORD(Stride(width)) * plat::DWORD(height);
  return header;
}

qxDibSurface::qxDibSurface(int32_t width, int32_t height) : header_(Header(width, height)) {
  if (width <= 0 || height <= 0) return;
  dc_ = plat::CreateCompatibleDC(nullptr);
  if (!dc_) return;
  plat::BITMAPINFO info{};
  info.bmiHeader = header_;
  void* bits = nullptr;
  section_ = plat::CreateDIBSection(dc_, &info, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section_) return;
  previous_ = plat::SelectObject(dc_, section_);
  bits_ = bits;
}

qxDibSurface::~qxDibSurface() {
  if (dc_ && previous_) plat::SelectObject(dc_, previous_);
  if (section_) plat::DeleteObject(section_);
  if (dc_) plat::DeleteDC(dc_);
}

bool qxDibSurface::SetPixelFormat(plat::DWORD flags) {
  if (!OK()) return false;
  plat::PIXELFORMATDESCRIPTOR request{};
  request.nSize = 40;
  request.nVersion = 1;
  request.dwFlags = flags;
  request.iPixelType = plat::PFD_TYPE_RGBA;
  request.cColorBits = 24;
  request.cDepthBits = 32;
  request.iLayerType = plat::PFD_MAIN_PLANE;
  int32_t format = plat::ChoosePixelFormat(dc_, &request);
  if (format == 0 || !plat::SetPixelFormat(dc_, format, &request)) return false;
  plat::DescribePixelFormat(dc_, format, 40, &request);
  return true;
}
