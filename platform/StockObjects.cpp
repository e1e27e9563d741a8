#include "platform/StockObjects.h"

#include <cstring>

#include "platform/FontObject.h"

namespace plat {

namespace {

template <class T>
T* Stock(T* object) {
  object->MarkStock();
  return object;
}

LOGFONTA FontDescription(int32_t height, int32_t weight, const char* face) {
  LOGFONTA font;
  font.lfHeight = height;
  font.lfWeight = weight;
  std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return font;
}

}  // namespace

// Stock objects live for the whole process and are deliberately never freed.
GdiObject* StockObject(int32_t index) {
  static PenObject* whitePen = Stock(new PenObject(PS_SOLID, 0, RGB(255, 255, 255)));
  static PenObject* blackPen = Stock(new PenObject(PS_SOLID, 0, 0));
  static PenObject* nullPen = Stock(new PenObject(PS_NULL, 0, 0));
  static BrushObject* whiteBrush = Stock(new BrushObject(BS_SOLID, RGB(255, 255, 255)));
  static BrushObject* lightGrayBrush = Stock(new BrushObject(BS_SOLID, RGB(192, 192, 192)));
  static BrushObject* grayBrush = Stock(new BrushObject(BS_SOLID, RGB(128, 128, 128)));
  static BrushObject* darkGrayBrush = Stock(new BrushObject(BS_SOLID, RGB(64, 64, 64)));
  static BrushObject* blackBrush = Stock(new BrushObject(BS_SOLID, 0));
  static BrushObject* nullBrush = Stock(new BrushObject(BS_NULL, 0));
  static FontObject* systemFont = Stock(new FontObject(FontDescription(16, FW_BOLD, "System")));
  static FontObject* guiFont = Stock(new FontObject(FontDescription(-11, FW_NORMAL, "MS Sans Serif")));
  switch (index) {
    case WHITE_BRUSH:
      return whiteBrush;
    case LTGRAY_BRUSH:
      return lightGrayBrush;
    case GRAY_BRUSH:
      return grayBrush;
    case DKGRAY_BRUSH:
      return darkGrayBrush;
    case BLACK_BRUSH:
      return blackBrush;
    case NULL_BRUSH:
      return nullBrush;
    case WHITE_PEN:
      return whitePen;
    case BLACK_PEN:
      return blackPen;
    case NULL_PEN:
      return nullPen;
    case SYSTEM_FONT:
      return systemFont;
    case DEFAULT_GUI_FONT:
      return guiFont;
    default:
      return nullptr;
  }
}

BitmapObject* StockBitmap() {
  static BitmapObject* bitmap = Stock(new BitmapObject(1, 1, 1));
  return bitmap;
}

PaletteObject* StockPalette() {
  static PaletteObject* palette = Stock(new PaletteObject({}));
  return palette;
}

}  // namespace plat
