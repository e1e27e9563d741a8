// The drawing context: the one drawing surface of views, XOR feedback of mouse tasks and printed
// pages. It wraps a device context (owned or borrowed) with its own tools: a fill and a background
// brush, a solid and a dashed pen, a font from the process-wide cache, a current colour and a drawing
// mode. It implements iShape, so recorded shapes replay onto it, and can pass every shape command on
// to an attached recorder as well. Integer calls are device pixels; float calls are truncated toward
// zero. A context lives for one drawing pass.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/VconString.h"
#include "framework/ColorConversion.h"
#include "framework/iShape.h"
#include "platform/Gdi.h"
#include "platform/Printing.h"
#include "platform/Wgl.h"
#include "platform/WindowTypes.h"

class ppClipSaver;
class ppPicture;
class ppRegion;
class ppShape;

class ppDC : public iShape {
 public:
  // Drawing modes.
  enum : int32_t {
    kModeCopy = 0,
    kModeNoFill1 = 1,  // 1 and 2 suppress filling
    kModeNoFill2 = 2,
    kModeChecker = 3,  // fills set every other pixel
    kModeXor = 4,
    kModeDashed = 5,  // lines with the dashed pen
  };

  // On the active window, clipped to its update region; no device when no window is active.
  ppDC();
  // On a window outside painting (feedback), clipped to its client rectangle.
  explicit ppDC(plat::HWND window);
  // Around a context the caller owns (the paint context) with the given clip region (not owned).
  ppDC(plat::HDC dc, plat::HWND window, plat::HRGN clip);
  // Around a printer or memory context; no window, no clip region.
  explicit ppDC(plat::HDC dc);
  ~ppDC() override;
  ppDC(const ppDC&) = delete;
  ppDC& operator=(const ppDC&) = delete;

  plat::HDC GetHDC() const { return dc_; }
  plat::HWND GetWindow() const { return window_; }
  plat::HRGN GetStoredClipRegion() const { return storedClip_; }

  // A recorder that receives every shape command first; not owned; null detaches.
  void AttachShape(iShape* shape) { attached_ = shape; }

  // ---- iShape.
  void Reset() override;
  void MoveToF(float x, float y) override;
  void LineToF(float x, float y) override;
  void CurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
  void ArcAroundTo(float cx, float cy, uint8_t clockwise, float x, float y) override;
  void ArcInBoxTo(float left, float top, float right, float bottom, float x, float y,
                  uint8_t clockwise) override;
  void End() override;
  // The font of `size` points as a character height (the size negated), selected at once.
  void SetFont(const char* face, int32_t size, int32_t style, float angle) override;
  void DrawText(const char* text) override;

  // ---- Tools and colour. Percent setters convert with PercentToByte.
  void SetColor(const ppRGBColor& percent);
  void SetColorRGB(int32_t red, int32_t green, int32_t blue);
  void SetGray(int32_t percent);
  void SetColorBytes(const ppRGBColor& bytes);
  const ppRGBColor& GetColorBytes() const { return color_; }
  void SetTextColor(const ppRGBColor& percent);
  void SetBackGray(int32_t percent);
  void SetBackColorBytes(const ppRGBColor& bytes);
  void SetPenSize(int32_t width, int32_t height);
  void SetCopyMode();
  void SetXorMode();
  void SetNormalPen();
  void SetDrawingMode(int32_t mode) { mode_ = mode; }
  plat::HBRUSH GetFillBrush() const { return fillBrush_; }
  plat::HBRUSH GetBackBrush() const { return backBrush_; }
  // Remakes both brushes as solid brushes of the given colours (the old ones deleted).
  void ReplaceBrushes(plat::COLORREF fill, plat::COLORREF back);
  int32_t GetDrawingMode() const { return mode_; }
  // The current font from the cache (height in pixels as the platform takes it); remembered for
  // text placement. Not selected until SelectFont.
  void SetFont(const Vcon::String& face, int32_t height, int32_t style, float angle);
  void SetLogFont(const plat::LOGFONTA& font);
  plat::HFONT GetCurrentFont() const { return font_; }
  int32_t GetFontHeight() const { return fontHeight_; }
  void SelectFont();
  void RestoreFont();

  // ---- Shapes (device pixels).
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void FrameRect(const plat::RECT& rect);
  void FillRect(const plat::RECT& rect);
  void EraseRect(const plat::RECT& rect);
  void FillEllipse(const plat::RECT& rect);
  void FrameRegion(const ppRegion& region);
  void PaintRegion(const ppRegion& region);
  void DrawShape(const ppShape& shape, int32_t dx, int32_t dy, float scale);
  void FillShape(const ppShape& shape, int32_t dx, int32_t dy, float scale);

  // ---- Clipping.
  void SetClipRegion(const ppRegion* region);  // null removes clipping
  // A new region with the current clip, or the visible box when there is none.
  std::unique_ptr<ppRegion> GetClipRegion() const;
  // Narrows the clip to the rectangle.
  void ClipToRect(const plat::RECT& rect);
  // The part of the window (window pixels) that views still to be drawn in this paint will cover
  // with solid fills, so the views drawn before them leave it out of their clips. Owned by the view
  // drawing at the time; null when nothing is known to be covered.
  void SetCoveredRegion(const ppRegion* covered) { covered_ = covered; }
  const ppRegion* GetCoveredRegion() const { return covered_; }
  // Takes the covered part out of a clip about to be set (window pixels).
  void LeaveOutCovered(ppRegion& region) const;
  // True when a fill sets every pixel of its rectangle to the colour whatever was there: the copy
  // mode on a context drawing at one device pixel per unit with the copying raster operation.
  bool FillsOpaquely() const;

  // ---- Text (UTF-16).
  void DrawText(const Vcon::WString& text, const plat::RECT& rect, uint32_t flags);
  void MeasureText(const Vcon::WString& text, plat::RECT* rect, uint32_t flags);
  int32_t GetTextWidth(const Vcon::WString& text);
  // Text whose reference point is (x, y) moved by the remembered font height along the text angle.
  void DrawTextAt(const Vcon::WString& text, int32_t x, int32_t y);

  // ---- Printing on a printer context: a job number or > 0 on success, SP_ERROR (or the device's
  // failure value) otherwise; SP_ERROR without a device.
  int32_t StartDoc(const plat::DOCINFOW& info);
  int32_t StartPage();
  int32_t EndPage();

  // ---- OpenGL 2D mode: device pixels with (0, 0) at the top-left, under the context's clip.
  // On: the context's GL context is to be current over the viewport (the window's client rectangle
  // when viewport.top is -1) with blending and smooth lines; it is made and bound only when GL first
  // draws (or IsOpenGLOn asks). Off: puts the clip and the previously current GL context back.
  // `reload` makes textured fills rebuild their textures while on.
  void SetOpenGL(bool on, bool reload, const plat::RECT& viewport);
  // In OpenGL mode with a context bound, binding it now if need be; false without a GL context.
  bool IsOpenGLOn();
  // While on (in OpenGL mode), LineToF draws smooth GL segments in the current colour.
  void SetLineBatch(bool on);
  // Fills the polygon recorded in `region` with the picture repeated every 100 / scale pixels,
  // turned by `angle` (radians, counter-clockwise); odd winding rule. Needs OpenGL mode.
  void FillPolygonTextured(const ppRegion& region, const ppPicture* picture, float angle, float scale);

  // Does nothing; list and calculation views call it where other contexts would draw.
  void EmptyHook(void*) {}

  // The float position of the last path command.
  float CurrentX() const { return curX_; }
  float CurrentY() const { return curY_; }

 private:
  void Init();
  void MakeDefaultTools();
  plat::HPEN ModePen() const;
  void ReplaceSolidPen();
  void DrawTextXor(const Vcon::WString& text, int32_t x, int32_t y);
  void BeginOpenGL(const plat::RECT& viewport);
  // Makes and binds the GL context OpenGL mode asked for, once; false when that failed.
  bool BindOpenGL();
  void EndOpenGL();
  int32_t GlLineWidth() const { return (penWidth_ + penHeight_) / 2; }

  iShape* attached_ = nullptr;
  ppClipSaver* savedClip_ = nullptr;
  plat::HGLRC savedGLContext_ = nullptr;
  plat::HDC savedGLDC_ = nullptr;
  ppRGBColor color_;
  plat::HDC dc_ = nullptr;
  plat::HBRUSH fillBrush_ = nullptr;
  plat::HBRUSH backBrush_ = nullptr;
  plat::HPEN solidPen_ = nullptr;
  plat::HPEN dashedPen_ = nullptr;
  plat::HFONT font_ = nullptr;
  plat::HFONT defaultFont_ = nullptr;
  plat::HRGN storedClip_ = nullptr;
  int32_t fontHeight_ = 0;
  int32_t fontStyle_ = 0;
  plat::HFONT previousFont_ = nullptr;
  int32_t penWidth_ = 1;
  int32_t penHeight_ = 1;
  int32_t mode_ = kModeCopy;
  const ppRegion* covered_ = nullptr;
  bool ownsDc_ = false;
  double scale_ = 1.0;
  plat::HWND window_ = nullptr;
  plat::HGLRC glContext_ = nullptr;  // owned unless it is the process's master context
  bool glOn_ = false;                // OpenGL mode asked for
  bool glBound_ = false;             // and its context bound
  bool glFailed_ = false;            // binding failed in this mode: 2D stands in
  plat::RECT glArea_{};              // the mode's viewport, device pixels
  plat::RECT glBox_{};               // the box GL may draw in, device pixels
  bool lineBatch_ = false;
  float curX_ = 0;
  float curY_ = 0;
  float textAngle_ = 0;
  // What the device held before the context selected its own tools; put back at the end.
  plat::HGDIOBJ originalPen_ = nullptr;
  plat::HGDIOBJ originalBrush_ = nullptr;
  plat::HGDIOBJ originalFont_ = nullptr;
};
