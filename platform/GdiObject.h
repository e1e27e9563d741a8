#pragma once
// The drawing objects behind the handles: the common base with its selection bookkeeping, and the
// small kinds (pen, brush, palette, region). Bitmaps and fonts have files of their own.

#include <cstdint>
#include <vector>

#include "platform/GdiTypes.h"
#include "platform/Region.h"

namespace plat {

class GdiObject {
 public:
  explicit GdiObject(DWORD type);
  virtual ~GdiObject();
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  DWORD Type() const { return type_; }
  // The object's id, given when it was made and never given again.
  HGDIOBJ Handle() const { return handle_; }
  // The live object behind a handle, or null for null and for a handle whose object was freed.
  static GdiObject* FromHandle(HGDIOBJ handle);

  // Stock objects are shared by every context and never freed.
  bool IsStock() const { return stock_; }
  void MarkStock() { stock_ = true; }

  // Contexts count their selections; an object deleted while selected is freed when the last
  // context lets it go.
  void AddSelection() { ++selections_; }
  // Returns true when the object was waiting for deletion and may now be freed.
  bool RemoveSelection() { return --selections_ == 0 && deletePending_; }
  bool IsSelected() const { return selections_ > 0; }
  void MarkDeletePending() { deletePending_ = true; }

 private:
  DWORD type_;
  HGDIOBJ handle_;
  int32_t selections_ = 0;
  bool stock_ = false;
  bool deletePending_ = false;
};

// The handle of `object` typed for its kind (HPEN, HBRUSH, ...); null for null.
template <class H>
H HandleOf(const GdiObject* object) {
  return object ? static_cast<H>(object->Handle()) : nullptr;
}

class PenObject : public GdiObject {
 public:
  PenObject(int32_t style, int32_t width, COLORREF color)
      : GdiObject(OBJ_PEN), style(style), width(width), color(color) {}
  int32_t style;
  int32_t width;  // logical units; 0 and 1 give one-pixel lines
  COLORREF color;
};

class BrushObject : public GdiObject {
 public:
  BrushObject(UINT style, COLORREF color) : GdiObject(OBJ_BRUSH), style(style), color(color) {}
  bool IsHollow() const { return style == BS_NULL; }
  UINT style;
  COLORREF color;
};

class PaletteObject : public GdiObject {
 public:
  explicit PaletteObject(std::vector<PALETTEENTRY> entries)
      : GdiObject(OBJ_PAL), entries(std::move(entries)) {}
  std::vector<PALETTEENTRY> entries;
};

class RegionObject : public GdiObject {
 public:
  RegionObject() : GdiObject(OBJ_REGION) {}
  explicit RegionObject(Region region) : GdiObject(OBJ_REGION), region(std::move(region)) {}
  Region region;
};

}  // namespace plat
