#include "framework/ppDC.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <memory>
#include <vector>

#include "framework/DrawingHelpers.h"
#include "framework/FontCache.h"
#include "framework/GlSharedState.h"
#include "framework/ppPicture.h"
#include "framework/ppClipSaver.h"
#include "framework/ppRegion.h"
#include "framework/ppShape.h"
#include "platform/WglTarget.h"
#include "platform/WindowApi.h"

namespace {

constexpr uint32_t kCalcRectNoPrefix = plat::DT_CALCRECT | plat::DT_NOPREFIX;  // 0xC00
constexpr int32_t kXorTextMargin = 20;  // extra pixels of the XOR text bitmap

// A drawing coordinate (pixels) as the device takes it. Points far off any device (a damaged plan's
// wall end at 1e34 millimetres) are held at +-2^30 rather than converted past what 32 bits hold;
// not-a-number draws at 0.
int32_t Trunc(float v) {
  constexpr float kFar = 1073741824.0f;  // 2^30
  if (v >= kFar) return int32_t(kFar);
  if (v <= -kFar) return -int32_t(kFar);
  return v == v ? int32_t(v) : 0;
}

plat::COLORREF ToColorRef(const ppRGBColor& c) {
  return plat::RGB(uint8_t(c.red), uint8_t(c.green), uint8_t(c.blue));
}

ppRGBColor PercentColor(int32_t r, int32_t g, int32_t b) {
  return ppRGBColor{PercentToByte(r), PercentToByte(g), PercentToByte(b)};
}

// Replaces `slot` by `fresh`, selecting it in place of the old one when the old one was selected.
template <class T>
void SwapObject(plat::HDC dc, T*& slot, T* fresh) {
  T* old = slot;
  slot = fresh;
  if (dc && old && plat::GetCurrentObject(dc, plat::GetObjectType(old)) == old) plat::SelectObject(dc, fresh);
  if (old) plat::DeleteObject(old);
}

}  // namespace

// ---- Construction.

ppDC::ppDC() {
  plat::HWND window = plat::GetActiveWindow();
  if (!plat::IsWindow(window)) return;
  window_ = window;
  storedClip_ = plat::CreateRectRgn(0, 0, 0, 0);
  plat::GetUpdateRgn(window, storedClip_, 0);
  dc_ = plat::GetDC(window);
  ownsDc_ = true;
  Init();
}

ppDC::ppDC(plat::HWND window) {
  window_ = window;
  dc_ = plat::GetDC(window);
  if (!dc_) return;
  plat::RECT client;
  plat::GetClientRect(window, &client);
  storedClip_ = plat::CreateRectRgnIndirect(&client);
  ownsDc_ = true;
  Init();
}

ppDC::ppDC(plat::HDC dc, plat::HWND window, plat::HRGN clip) : dc_(dc), storedClip_(clip), window_(window) {
  Init();
}

ppDC::ppDC(plat::HDC dc) : dc_(dc) { Init(); }

void ppDC::Init() {
  if (dc_) MakeDefaultTools();
}

void ppDC::MakeDefaultTools() {
  penWidth_ = penHeight_ = 1;
  fillBrush_ = plat::CreateSolidBrush(plat::RGB(0, 0, 0));
  backBrush_ = plat::CreateSolidBrush(plat::RGB(255, 255, 255));
  defaultFont_ = GetCachedFont(kDefaultFaceName, 12, 0, 0.0f);
  font_ = defaultFont_;
  originalFont_ = plat::SelectObject(dc_, defaultFont_);
  solidPen_ = plat::CreatePen(plat::PS_SOLID, 1, plat::RGB(0, 0, 0));
  dashedPen_ = plat::CreatePen(plat::PS_DASH, 0, plat::RGB(0, 0, 0));
  originalPen_ = plat::SelectObject(dc_, solidPen_);
  originalBrush_ = plat::SelectObject(dc_, fillBrush_);
  mode_ = kModeCopy;
  scale_ = 1.0;
}

ppDC::~ppDC() {
  if (glOn_) EndOpenGL();
  if (glContext_) {
    if (plat::wglGetCurrentContext() == glContext_) plat::wglMakeCurrent(nullptr, nullptr);
    if (!IsMasterGLContext(glContext_)) plat::wglDeleteContext(glContext_);
  }
  delete savedClip_;
  if (!dc_) {
    if (ownsDc_ && storedClip_) plat::DeleteObject(storedClip_);
    return;
  }
  // Give the device back what it held, then drop our tools (fonts belong to the cache).
  if (originalPen_) plat::SelectObject(dc_, originalPen_);
  if (originalBrush_) plat::SelectObject(dc_, originalBrush_);
  if (originalFont_) plat::SelectObject(dc_, originalFont_);
  plat::DeleteObject(fillBrush_);
  plat::DeleteObject(backBrush_);
  plat::DeleteObject(solidPen_);
  plat::DeleteObject(dashedPen_);
  if (ownsDc_) {
    if (storedClip_) plat::DeleteObject(storedClip_);
    plat::ReleaseDC(window_, dc_);
  }
}

// ---- iShape.

plat::HPEN ppDC::ModePen() const { return mode_ == kModeDashed ? dashedPen_ : solidPen_; }

void ppDC::Reset() {
  if (attached_) attached_->Reset();
}

void ppDC::End() {
  if (attached_) attached_->End();
}

void ppDC::MoveToF(float x, float y) {
  if (attached_) attached_->MoveToF(x, y);
  if (dc_) plat::MoveToEx(dc_, Trunc(x), Trunc(y), nullptr);
  curX_ = x;
  curY_ = y;
}

void ppDC::LineToF(float x, float y) {
  if (attached_) attached_->LineToF(x, y);
  if (lineBatch_ && mode_ != kModeXor) {
    glVertex2f(curX_, curY_);
    glVertex2f(x, y);
  } else if (dc_) {
    plat::ScopedSelection pen(dc_, ModePen());
    plat::LineTo(dc_, Trunc(x), Trunc(y));
  }
  curX_ = x;
  curY_ = y;
}

void ppDC::CurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
  if (attached_) attached_->CurveTo(c1x, c1y, c2x, c2y, x, y);
  if (dc_) {
    const plat::POINT pts[3] = {{Trunc(c1x), Trunc(c1y)}, {Trunc(c2x), Trunc(c2y)}, {Trunc(x), Trunc(y)}};
    plat::ScopedSelection pen(dc_, ModePen());
    plat::PolyBezierTo(dc_, pts, 3);
  }
  curX_ = x;
  curY_ = y;
}

void ppDC::ArcAroundTo(float cx, float cy, uint8_t clockwise, float x, float y) {
  if (attached_) attached_->ArcAroundTo(cx, cy, clockwise, x, y);
  if (dc_) {
    const float r = std::hypot(x - cx, y - cy);
    plat::SetArcDirection(dc_, clockwise ? plat::AD_CLOCKWISE : plat::AD_COUNTERCLOCKWISE);
    plat::ScopedSelection pen(dc_, ModePen());
    plat::ArcTo(dc_, Trunc(cx - r), Trunc(cy - r), Trunc(cx + r), Trunc(cy + r), Trunc(curX_), Trunc(curY_),
                Trunc(x), Trunc(y));
    plat::SetArcDirection(dc_, plat::AD_COUNTERCLOCKWISE);
  }
  curX_ = x;
  curY_ = y;
}

void ppDC::ArcInBoxTo(float left, float top, float right, float bottom, float x, float y, uint8_t clockwise) {
  if (attached_) attached_->ArcInBoxTo(left, top, right, bottom, x, y, clockwise);
  if (dc_) {
    plat::SetArcDirection(dc_, clockwise ? plat::AD_CLOCKWISE : plat::AD_COUNTERCLOCKWISE);
    plat::ScopedSelection pen(dc_, ModePen());
    plat::ArcTo(dc_, Trunc(left), Trunc(top), Trunc(right), Trunc(bottom), Trunc(curX_), Trunc(curY_),
                Trunc(x), Trunc(y));
    plat::SetArcDirection(dc_, plat::AD_COUNTERCLOCKWISE);
  }
  curX_ = x;
  curY_ = y;
}

void ppDC::SetFont(const char* face, int32_t size, int32_t style, float angle) {
  if (attached_) attached_->SetFont(face, size, style, angle);
  SetFont(Vcon::String(face), -size, style, angle);
  SelectFont();
}

void ppDC::DrawText(const char* text) {
  if (attached_) attached_->DrawText(text);
  if (!dc_) return;
  plat::ScopedSelection pen(dc_, ModePen());
  SelectFont();
  DrawTextAt(Vcon::WString(text), Trunc(curX_), Trunc(curY_));
  RestoreFont();
}

// ---- Tools and colour.

void ppDC::SetColor(const ppRGBColor& percent) { SetColorRGB(percent.red, percent.green, percent.blue); }

void ppDC::SetColorRGB(int32_t red, int32_t green, int32_t blue) {
  SetColorBytes(PercentColor(red, green, blue));
}

void ppDC::SetGray(int32_t percent) { SetColorRGB(percent, percent, percent); }

void ppDC::SetColorBytes(const ppRGBColor& bytes) {
  color_ = bytes;
  if (!dc_) return;
  SwapObject(dc_, fillBrush_, plat::CreateSolidBrush(ToColorRef(bytes)));
  ReplaceSolidPen();
}

void ppDC::ReplaceSolidPen() {
  SwapObject(dc_, solidPen_, plat::CreatePen(plat::PS_SOLID, penWidth_, ToColorRef(color_)));
}

void ppDC::ReplaceBrushes(plat::COLORREF fill, plat::COLORREF back) {
  if (!dc_) return;
  SwapObject(dc_, fillBrush_, plat::CreateSolidBrush(fill));
  SwapObject(dc_, backBrush_, plat::CreateSolidBrush(back));
}

void ppDC::SetTextColor(const ppRGBColor& percent) {
  if (dc_) plat::SetTextColor(dc_, ToColorRef(PercentColor(percent.red, percent.green, percent.blue)));
}

void ppDC::SetBackGray(int32_t percent) {
  if (dc_) plat::SetBkColor(dc_, ToColorRef(PercentColor(percent, percent, percent)));
}

void ppDC::SetBackColorBytes(const ppRGBColor& bytes) {
  if (dc_) plat::SetBkColor(dc_, ToColorRef(bytes));
}

void ppDC::SetPenSize(int32_t width, int32_t height) {
  penWidth_ = width;
  penHeight_ = height;
  if (dc_) ReplaceSolidPen();
}

void ppDC::SetCopyMode() {
  mode_ = kModeCopy;
  if (dc_) plat::SetROP2(dc_, plat::R2_COPYPEN);
}

void ppDC::SetXorMode() {
  mode_ = kModeXor;
  if (dc_) plat::SetROP2(dc_, plat::R2_NOTXORPEN);
}

void ppDC::SetNormalPen() {
  SetCopyMode();
  penWidth_ = penHeight_ = 1;
  SetColorBytes(ppRGBColor{0, 0, 0});
}

void ppDC::SetFont(const Vcon::String& face, int32_t height, int32_t style, float angle) {
  font_ = GetCachedFont(face.c_str(), height, style, angle);
  fontHeight_ = height;
  fontStyle_ = style;
  textAngle_ = angle;
}

void ppDC::SetLogFont(const plat::LOGFONTA& font) {
  font_ = GetCachedFontIndirect(font);
  fontHeight_ = fontStyle_ = 0;
  textAngle_ = 0;
}

void ppDC::SelectFont() {
  if (dc_) previousFont_ = static_cast<plat::HFONT>(plat::SelectObject(dc_, font_));
}

void ppDC::RestoreFont() {
  if (dc_ && previousFont_) plat::SelectObject(dc_, previousFont_);
  previousFont_ = nullptr;
}

// ---- Shapes.

// The whole-pixel moves keep the current point too: an arc that follows one starts from it (the arcs
// take their start from the current point, not from the device's pen position).
void ppDC::MoveTo(int32_t x, int32_t y) {
  curX_ = float(x);
  curY_ = float(y);
  if (dc_) plat::MoveToEx(dc_, x, y, nullptr);
}

void ppDC::LineTo(int32_t x, int32_t y) {
  curX_ = float(x);
  curY_ = float(y);
  if (!dc_) return;
  plat::ScopedSelection pen(dc_, ModePen());
  plat::LineTo(dc_, x, y);
}

void ppDC::FrameRect(const plat::RECT& r) {
  if (!dc_) return;
  plat::ScopedSelection pen(dc_, solidPen_);
  plat::ScopedSelection brush(dc_, plat::GetStockObject(plat::HOLLOW_BRUSH));
  plat::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void ppDC::FillRect(const plat::RECT& r) {
  if (!dc_) return;
  if (mode_ == kModeNoFill1 || mode_ == kModeNoFill2) return;  // a region paint, which these modes suppress
  if (mode_ == kModeChecker) {
    const plat::COLORREF c = ToColorRef(color_);
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x)
        if (((x ^ y) & 1) != 0) plat::SetPixel(dc_, x, y, c);
    return;
  }
  plat::ScopedSelection pen(dc_, plat::GetStockObject(plat::NULL_PEN));
  plat::ScopedSelection brush(dc_, fillBrush_);
  // Without an outline the device fills one pixel short at the right and bottom; widen to cover the
  // whole rectangle.
  plat::Rectangle(dc_, r.left, r.top, r.right + 1, r.bottom + 1);
}

void ppDC::EraseRect(const plat::RECT& r) {
  if (!dc_) return;
  plat::HBRUSH fill = fillBrush_;
  fillBrush_ = backBrush_;
  const int32_t mode = mode_;
  if (mode_ == kModeChecker || mode_ == kModeNoFill1 || mode_ == kModeNoFill2) mode_ = kModeCopy;
  FillRect(r);
  mode_ = mode;
  fillBrush_ = fill;
}

void ppDC::FillEllipse(const plat::RECT& r) {
  if (!dc_) return;
  plat::ScopedSelection brush(dc_, fillBrush_);
  plat::ScopedSelection pen(dc_, plat::GetStockObject(plat::NULL_PEN));
  plat::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void ppDC::FrameRegion(const ppRegion& region) {
  if (dc_) plat::FrameRgn(dc_, region.Handle(), fillBrush_, penWidth_, penHeight_);
}

void ppDC::PaintRegion(const ppRegion& region) {
  if (!dc_ || mode_ == kModeNoFill1 || mode_ == kModeNoFill2 || mode_ == kModeChecker) return;
  plat::ScopedSelection brush(dc_, fillBrush_);
  plat::PaintRgn(dc_, region.Handle());
}

void ppDC::DrawShape(const ppShape& shape, int32_t dx, int32_t dy, float scale) {
  shape.Replay(this, float(dx), float(dy), scale);
}

void ppDC::FillShape(const ppShape& shape, int32_t dx, int32_t dy, float scale) {
  if (!dc_) return;
  plat::ScopedSelection pen(dc_, plat::GetStockObject(plat::NULL_PEN));
  DrawShape(shape, dx, dy, scale);
}

// ---- Clipping.

bool ppDC::FillsOpaquely() const {
  return dc_ && mode_ == kModeCopy && scale_ == 1.0 && plat::GetROP2(dc_) == plat::R2_COPYPEN &&
         plat::GetMapMode(dc_) == plat::MM_TEXT;
}

void ppDC::LeaveOutCovered(ppRegion& region) const {
  if (!covered_) return;
  // Most clips lie clear of what is covered: a box test spares them the region arithmetic.
  plat::RECT covered, clip;
  covered_->GetBounds(&covered);
  region.GetBounds(&clip);
  if (covered.left >= clip.right || clip.left >= covered.right || covered.top >= clip.bottom ||
      clip.top >= covered.bottom)
    return;
  region.Subtract(*covered_);
}

void ppDC::SetClipRegion(const ppRegion* region) {
  if (dc_) plat::SelectClipRgn(dc_, region ? region->Handle() : nullptr);
}

std::unique_ptr<ppRegion> ppDC::GetClipRegion() const {
  auto region = std::make_unique<ppRegion>();
  if (!dc_) return region;
  if (plat::GetClipRgn(dc_, region->Handle()) != 1) {
    plat::RECT box;
    plat::GetClipBox(dc_, &box);
    region->SetRect(box);
  }
  return region;
}

void ppDC::ClipToRect(const plat::RECT& r) {
  if (dc_) plat::IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
}

// ---- Text.

void ppDC::DrawText(const Vcon::WString& text, const plat::RECT& rect, uint32_t flags) {
  if (!dc_) return;
  const int32_t oldMode = plat::SetBkMode(dc_, plat::TRANSPARENT);
  plat::RECT r = rect;
  plat::DrawTextW(dc_, text.c_str(), int32_t(text.size()), &r, flags | plat::DT_NOPREFIX);
  plat::SetBkMode(dc_, oldMode);
}

void ppDC::MeasureText(const Vcon::WString& text, plat::RECT* rect, uint32_t flags) {
  if (dc_) plat::DrawTextW(dc_, text.c_str(), int32_t(text.size()), rect, flags | kCalcRectNoPrefix);
}

int32_t ppDC::GetTextWidth(const Vcon::WString& text) {
  if (!dc_) return 0;
  SelectFont();
  plat::RECT r{0, 0, 65536, 65536};
  plat::DrawTextW(dc_, text.c_str(), int32_t(text.size()), &r, kCalcRectNoPrefix);
  RestoreFont();
  return r.right - r.left;
}

void ppDC::DrawTextAt(const Vcon::WString& text, int32_t x, int32_t y) {
  if (!dc_) return;
  if (mode_ == kModeXor) {
    DrawTextXor(text, x, y);
    return;
  }
  const float a = float(DegreesToRadians(textAngle_));
  const float h = float(fontHeight_);
  const int32_t left = int32_t(float(x) - h * std::sin(a));
  const int32_t top = int32_t(float(y) - h * std::cos(a));
  const int32_t oldMode = plat::SetBkMode(dc_, plat::TRANSPARENT);
  if (textAngle_ == 0) {
    plat::DrawTextAtW(dc_, left, top, text.c_str(), int32_t(text.size()), plat::DT_NOPREFIX);
  } else {
    plat::TextOutW(dc_, left, top, text.c_str(), int32_t(text.size()));
  }
  plat::SetBkMode(dc_, oldMode);
}

void ppDC::DrawTextXor(const Vcon::WString& text, int32_t x, int32_t y) {
  // Black text on white in a bitmap, inverted onto the device twice: the background cancels out and
  // only the text pixels end up inverted, so a second call erases it.
  plat::RECT extent{0, 0, 0, 0};
  plat::DrawTextW(dc_, text.c_str(), int32_t(text.size()), &extent, kCalcRectNoPrefix);
  const int32_t w = extent.right - extent.left + kXorTextMargin;
  const int32_t h = extent.bottom - extent.top;
  if (h <= 0) return;
  plat::OwnedDc mem(plat::CreateCompatibleDC(dc_));
  plat::OwnedBitmap bitmap(plat::CreateBitmap(w, h, 1, 32, nullptr));
  if (!mem || !bitmap) return;
  plat::ScopedSelection bits(mem.get(), bitmap.get());
  plat::ScopedSelection font(mem.get(), plat::GetCurrentObject(dc_, plat::OBJ_FONT));
  plat::PatBlt(mem.get(), 0, 0, w, h, plat::WHITENESS);
  plat::SetTextColor(mem.get(), plat::RGB(0, 0, 0));
  plat::SetBkMode(mem.get(), plat::TRANSPARENT);
  plat::RECT r{0, 0, w, h};
  plat::DrawTextW(mem.get(), text.c_str(), int32_t(text.size()), &r, plat::DT_NOPREFIX);
  plat::BitBlt(dc_, x, y, w, h, mem.get(), 0, 0, plat::SRCINVERT);
  plat::BitBlt(dc_, x, y, w, h, mem.get(), 0, 0, plat::DSTINVERT);
}

// ---- Printing.

int32_t ppDC::StartDoc(const plat::DOCINFOW& info) {
  return dc_ ? plat::StartDocW(dc_, &info) : plat::SP_ERROR;
}
int32_t ppDC::StartPage() { return dc_ ? plat::StartPage(dc_) : plat::SP_ERROR; }
int32_t ppDC::EndPage() { return dc_ ? plat::EndPage(dc_) : plat::SP_ERROR; }

// ---- OpenGL 2D mode.

void ppDC::SetOpenGL(bool on, bool reload, const plat::RECT& viewport) {
  SetTextureReload(reload && on);
  if (!dc_ || on == glOn_) return;
  if (on)
    BeginOpenGL(viewport);
  else
    EndOpenGL();
}

bool ppDC::IsOpenGLOn() { return glOn_ && BindOpenGL(); }

void ppDC::BeginOpenGL(const plat::RECT& viewport) {
  // The box GL may draw in: the device's clip within the stored clip (or the stored clip's box).
  std::unique_ptr<ppRegion> clip = GetClipRegion();
  if (storedClip_) {
    ppRegion stored(storedClip_);
    clip->Intersect(stored);
    if (clip->IsEmpty()) clip = std::make_unique<ppRegion>(stored);
  }
  clip->GetBounds(&glBox_);
  glArea_ = viewport;
  if (glArea_.top == -1) {
    glArea_ = plat::RECT{};
    if (window_) {
      plat::GetClientRect(window_, &glArea_);
    } else if (auto target = plat::ResolveWglTarget(dc_)) {
      glArea_ = plat::RECT{0, 0, target->width, target->height};
    }
  }
  savedClip_ = new ppClipSaver(*this);
  savedGLContext_ = plat::wglGetCurrentContext();
  savedGLDC_ = plat::wglGetCurrentDC();
  plat::SelectClipRgn(dc_, nullptr);
  glOn_ = true;
  glBound_ = false;
  glFailed_ = false;
}

bool ppDC::BindOpenGL() {
  if (glBound_) return true;
  if (glFailed_) return false;
  // Making a context and binding it cost milliseconds (Mesa builds its drawing code for the state
  // that first draws), so a pass that draws nothing with GL, such as an empty plan, never pays.
  glFailed_ = true;
  {
    // The context (and the pixel format it needs) finds its window with the device clip out of the
    // way, as when the mode began: a child view's clip set since would make a smaller window at the
    // same origin the target.
    ppClipSaver clip(*this);
    plat::SelectClipRgn(dc_, nullptr);
    if (!glContext_) glContext_ = CreateGLContext(dc_);
    if (!glContext_ || !plat::wglMakeCurrent(dc_, glContext_)) return false;  // 2D stands in
  }
  glFailed_ = false;
  glBound_ = true;
  const int32_t width = glArea_.right - glArea_.left, height = glArea_.bottom - glArea_.top;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_SCISSOR_TEST);
  if (glBox_.bottom - glBox_.top > 1)
    glScissor(glBox_.left, glArea_.bottom - glBox_.bottom, glBox_.right - glBox_.left,
              glBox_.bottom - glBox_.top);
  glLineWidth(GLfloat(GlLineWidth()));
  glDrawBuffer(GL_FRONT);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  glEnable(GL_LINE_SMOOTH);
  for (GLenum off : {GL_DEPTH_TEST, GL_ALPHA_TEST, GL_DITHER, GL_LIGHTING, GL_CULL_FACE, GL_TEXTURE_2D})
    glDisable(off);
  return true;
}

void ppDC::EndOpenGL() {
  if (lineBatch_) SetLineBatch(false);
  delete savedClip_;
  savedClip_ = nullptr;
  if (glBound_) {
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glFlush();
    glFinish();
    plat::wglMakeCurrent(savedGLDC_, savedGLContext_);
  }
  savedGLContext_ = nullptr;
  savedGLDC_ = nullptr;
  glOn_ = false;
  glBound_ = false;
}

void ppDC::SetLineBatch(bool on) {
  if (on == lineBatch_ || (on && !IsOpenGLOn())) return;
  lineBatch_ = on;
  if (on) {
    glEnable(GL_BLEND);
    glEnable(GL_LINE_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glColor3f(float(color_.red) / 255, float(color_.green) / 255, float(color_.blue) / 255);
    glLineWidth(GLfloat(GlLineWidth()));
    glBegin(GL_LINES);
  } else {
    glEnd();
    glDisable(GL_BLEND);
    glFlush();
    glFinish();
  }
}

namespace {

// What the tessellator's vertex callback needs to place texture coordinates.
struct TextureMapping {
  float cosA = 1;
  float sinA = 0;
  float scale = 1;
  std::vector<std::unique_ptr<GLdouble[]>> combined;  // vertices made where edges cross
};

void GLAPIENTRY TessBegin(GLenum type) { glBegin(type); }
void GLAPIENTRY TessEnd() { glEnd(); }

void GLAPIENTRY TessVertex(void* vertex, void* data) {
  const auto* v = static_cast<const GLdouble*>(vertex);
  const auto* m = static_cast<const TextureMapping*>(data);
  const float x = float(v[0]), y = float(v[1]);
  const float s = x / 100 * m->scale, t = -y / 100 * m->scale;
  glTexCoord2f(s * m->cosA - t * m->sinA, s * m->sinA + t * m->cosA);
  glVertex2f(x, y);
}

// Self-crossing outlines need new vertices at the crossings; they live until the fill is done.
void GLAPIENTRY TessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
  auto* m = static_cast<TextureMapping*>(data);
  m->combined.emplace_back(new GLdouble[3]{coords[0], coords[1], coords[2]});
  *out = m->combined.back().get();
}

void GLAPIENTRY TessError(GLenum, void*) {}

}  // namespace

void ppDC::FillPolygonTextured(const ppRegion& region, const ppPicture* picture, float angle, float scale) {
  if (!picture || picture->IsEmpty() || region.PointCount() < 3 || !IsOpenGLOn()) return;
  if (lineBatch_) SetLineBatch(false);
  glEnable(GL_TEXTURE_2D);
  BindPictureTexture(*picture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

  TextureMapping mapping;
  mapping.cosA = std::cos(angle);
  mapping.sinA = std::sin(angle);
  mapping.scale = scale;
  std::vector<GLdouble> coords(size_t(region.PointCount()) * 3);
  for (int32_t i = 0; i < region.PointCount(); ++i) {
    coords[size_t(i) * 3] = region.Points()[i].x;
    coords[size_t(i) * 3 + 1] = region.Points()[i].y;
    coords[size_t(i) * 3 + 2] = 0;
  }
  GLUtesselator* tess = gluNewTess();
  if (!tess) return;
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(TessBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(TessVertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(TessEnd));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(TessCombine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(TessError));
  gluTessBeginPolygon(tess, &mapping);
  gluTessBeginContour(tess);
  for (int32_t i = 0; i < region.PointCount(); ++i)
    gluTessVertex(tess, &coords[size_t(i) * 3], &coords[size_t(i) * 3]);
  gluTessEndContour(tess);
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  glDisable(GL_TEXTURE_2D);
}
