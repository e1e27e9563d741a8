#include "scene3d/panes/qxPrintLayout.h"

#include "scene3d/panes/qxPrintPage.h"

namespace qxPrintLayout {

void Compute(qxPrintPage& page, int32_t paneWidth, int32_t paneHeight) {
  page.leftMargin = 20.0f;
  page.rightMargin = 10.0f;
  page.topMargin = 10.0f;
  page.bottomMargin = 10.0f;
  page.headerGap = 5.0f;
  page.headerHeight = 20.0f;
  page.footerHeight = 20.0f;
  page.zero[0] = page.zero[1] = 0;
  float sx = 1.0f;
  float sy = 1.0f;
  if (paneWidth > 0 && paneHeight > 0) {
    sx = (page.pageWidth - (page.leftMargin + page.rightMargin) * page.pixelsPerMmX) / float(paneWidth);
    float bands = page.topMargin + page.bottomMargin + page.footerHeight + page.headerGap + page.headerHeight;
    sy = (page.pageHeight - bands * page.pixelsPerMmY) / float(paneHeight);
  }
  page.imageScale = sy < sx ? sy : sx;
  float left = page.leftMargin * page.pixelsPerMmX;
  float top = (page.topMargin + page.headerHeight + page.headerGap) * page.pixelsPerMmY;
  page.image.left = int32_t(left);
  page.image.top = int32_t(top);
  page.image.right = int32_t(float(paneWidth) * page.imageScale + left + 1.0f);
  page.image.bottom = int32_t(float(paneHeight) * page.imageScale + top + 1.0f);
}

std::string FileTitleFromPath(const std::string& path) {
  std::string title = path;
  size_t slash = title.find_last_of("\\/");
  if (slash != std::string::npos) title.erase(0, slash + 1);
  size_t dot = title.rfind('.');
  if (dot != std::string::npos) title.erase(dot);
  return title;
}

}  // namespace qxPrintLayout
