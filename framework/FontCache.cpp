#include "framework/FontCache.h"

#include <cstring>
#include <string>

const char* const kDefaultFaceName = "MS Sans Serif";
const char* const kPlainFaceName = "Arial";

namespace {

constexpr int32_t kStyleBold = 1;
constexpr int32_t kStyleItalic = 2;
constexpr int32_t kStyleUnderline = 4;

// One cached font; new entries go to the head of the list.
struct FontEntry {
  FontEntry* next = nullptr;
  plat::HFONT font = nullptr;
  bool byName = false;
  std::string face;
  int32_t height = 0;
  int32_t style = 0;
  float angle = 0;
  plat::LOGFONTA log;
};

// The list lives for the whole process and is deliberately never emptied.
FontEntry*& Head() {
  static FontEntry* head = nullptr;
  return head;
}

bool SameLogFont(const plat::LOGFONTA& a, const plat::LOGFONTA& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::strncmp(a.lfFaceName, b.lfFaceName, plat::LF_FACESIZE) == 0;
}

FontEntry* Push(FontEntry* entry) {
  entry->next = Head();
  Head() = entry;
  return entry;
}

}  // namespace

plat::HFONT GetCachedFont(const char* face, int32_t height, int32_t style, float angle) {
  const std::string name = face ? face : "";
  for (FontEntry* e = Head(); e; e = e->next)
    if (e->byName && e->height == height && e->style == style && e->angle == angle && e->face == name)
      return e->font;
  auto* entry = new FontEntry;
  entry->byName = true;
  entry->face = name;
  entry->height = height;
  entry->style = style;
  entry->angle = angle;
  const int32_t tenths = int32_t(angle * 10);
  entry->font = plat::CreateFontA(
      height, 0, tenths, tenths, (style & kStyleBold) ? plat::FW_BOLD : plat::FW_NORMAL, style & kStyleItalic,
      style & kStyleUnderline, 0, plat::DEFAULT_CHARSET, 0, 0, 0, 0, name.c_str());
  return Push(entry)->font;
}

plat::HFONT GetCachedFontIndirect(const plat::LOGFONTA& font) {
  for (FontEntry* e = Head(); e; e = e->next)
    if (!e->byName && SameLogFont(e->log, font)) return e->font;
  auto* entry = new FontEntry;
  entry->log = font;
  entry->font = plat::CreateFontIndirectA(&font);
  return Push(entry)->font;
}

int32_t CachedFontCount() {
  int32_t n = 0;
  for (FontEntry* e = Head(); e; e = e->next) ++n;
  return n;
}
