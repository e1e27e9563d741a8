#pragma once
// The base of everything visible: windows, panes, buttons, scroll bars, canvases and every plan
// element. A view has a frame in its supervisor's coordinates (pixels; the supervisor's top-left is
// (0, 0)), owns its subviews (list order is drawing order) and its adorners, follows its supervisor's
// size changes by two bindings, and passes commands, invalidation and window questions upwards. The
// top of every tree is a window, which converts nothing and owns the platform window.
// Mouse operations take window coordinates. User-interface thread only.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/iUndoer.h"
#include "framework/ppEventHandler.h"
#include "framework/ppList.h"
#include "foundation/VconString.h"
#include "platform/GdiTypes.h"
#include "platform/WindowTypes.h"

class ppAdorner;
class ppDC;
class ppRegion;
class ppView;
class ppUndoer;

using ppViewList = ppList<ppView*>;

class ppView : public ppEventHandler, public iUndoer {
 public:
  // Bindings: how a frame follows a change of the supervisor's width or height.
  static constexpr int8_t kMove = 1;
  static constexpr int8_t kStretch = -1;
  static constexpr int8_t kStay = 0;

  ppView();
  explicit ppView(ppView* supervisor);
  ppView(ppView* supervisor, int8_t horizontal, int8_t vertical);
  ~ppView() override;

  // ---- Event operations.
  bool MouseOver(int32_t x, int32_t y, int32_t flag) override;
  void AdjustCursor(int32_t x, int32_t y) override;
  void UpdateMenus() override;
  void Activate() override;
  void Deactivate() override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  void MouseMove(int32_t x, int32_t y) override;
  void ContextMenu(int32_t x, int32_t y) override;

  // ---- Window questions and geometry.
  virtual plat::HWND GetHWND();
  virtual intptr_t AskSupervisor();
  virtual void MoveTo(int32_t x, int32_t y);
  virtual void MoveFrameTo(int32_t x, int32_t y);
  virtual void MoveBy(int32_t dx, int32_t dy);
  virtual void ResizeTo(int32_t width, int32_t height);
  virtual void SupervisorResized(int32_t dx, int32_t dy);
  virtual void LocalToWindow(plat::POINT* point);
  virtual void LocalToWindowRect(plat::RECT* rect);
  virtual void WindowToLocal(plat::POINT* point);
  virtual void WindowToLocalRect(plat::RECT* rect);
  virtual void GetWindowOrigin(plat::POINT* origin);
  virtual void ClipToFrame(ppDC& dc);
  virtual void ClipToVisible(ppDC& dc);
  virtual std::unique_ptr<ppRegion> GetVisibleRegion();  // window coordinates
  virtual std::unique_ptr<ppRegion> GetContentRegion();  // window coordinates
  virtual void IntersectVisibleRect(plat::RECT* rect);

  // ---- Drawing and invalidation.
  virtual void DrawContent(ppDC& dc);
  virtual void BeginDraw(ppDC& dc);
  virtual void Draw(ppDC& dc);
  virtual bool NeedsDrawing(ppDC& dc);
  // The part of the window (window coordinates) that drawing this view on `dc` sets to solid
  // colours whatever lay under it, or null when none is known: the area of a solid fill adorner.
  virtual std::unique_ptr<ppRegion> GetOpaqueRegion(const ppDC& dc);
  virtual void InvalidateRegion(ppRegion* region);     // window coordinates; not taken over
  virtual std::unique_ptr<ppRegion> GetFrameRegion();  // window coordinates
  // XOR outline of the frame region with its top-left at (x, y) pixels, turned by `angle` radians
  // about the pivot (pixels, window coordinates). The base draws it unturned.
  virtual void DrawOutlineAt(int32_t x, int32_t y, float angle, float pivotX, float pivotY, ppDC& dc);
  void DrawOutlineAtDefault(int32_t x, int32_t y, ppDC& dc) { DrawOutlineAt(x, y, 0.0f, 0.0f, 0.0f, dc); }
  virtual int32_t Print(ppDC& dc, int32_t page);
  virtual void PrintContent(ppDC& dc, int32_t page);
  virtual void PrintBegin(ppDC& dc, int32_t page);
  virtual bool PrintNeeded(ppDC& dc, int32_t page);

  // ---- Mouse.
  virtual bool MouseDown(int32_t x, int32_t y);
  virtual bool IsDoubleClick(int32_t x, int32_t y);
  virtual bool WantsDoubleClicks();

  // ---- Showing, texts and tool tips.
  virtual void Show();
  virtual void Hide();
  virtual void UpdateTexts();
  virtual void AddToolTips(uint32_t word);
  virtual void RemoveToolTips();
  virtual void FrameWillChange();
  virtual void FrameChanged();
  virtual void Invalidate();
  virtual void TrackEnter(int32_t x, int32_t y);
  virtual void TrackLeave();
  virtual void GetMousePosition(plat::POINT* point);

  // ---- The subview list.
  virtual void AddSubview(ppView* view);
  virtual void InsertSubview(ppView* view, int32_t index);
  virtual void RemoveSubview(ppView* view);  // a view that is not a subview is left alone
  virtual bool ContainsPoint(int32_t x, int32_t y);
  virtual ppView* FindViewAt(int32_t x, int32_t y);

  // ---- Undo, hover and drops.
  ppUndoer* GetUndoer() override;
  virtual void MouseEnter(int32_t x, int32_t y);
  virtual void MouseLeave();
  virtual bool CanAcceptDrop(int32_t x, int32_t y, const std::string& data);
  virtual void AcceptDrop(int32_t x, int32_t y, const std::string& data);

  // ---- Non-virtual.
  ppView* GetSupervisor() const { return supervisor_; }
  ppView* GetRootView();
  void GetWindowFrame(plat::RECT* rect);
  const plat::RECT& GetFrame() const { return frame_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetFrame(const plat::RECT& frame);
  void ChangeFrame(const plat::RECT& frame);
  void SetRedrawOnChange(bool redraw);
  bool RedrawsOnChange() const { return redrawOnChange_; }
  bool IsShown() const { return shown_; }
  ppView* DeepestViewAt(int32_t x, int32_t y);
  void AttachToSupervisor();
  void DetachFromSupervisor();
  const ppViewList& Subviews() const { return subviews_; }
  int8_t HorizontalBinding() const { return horizontal_; }
  int8_t VerticalBinding() const { return vertical_; }
  // Changes the two bindings after construction (for views whose base class fixes them).
  void SetBinding(int8_t horizontal, int8_t vertical) {
    horizontal_ = horizontal;
    vertical_ = vertical;
  }
  // The id a view sends along with its notifications (a button's press, command 5000); 0 when none.
  int32_t GetCommandId() const { return commandId_; }
  void SetCommandId(int32_t id) { commandId_ = id; }
  // The view's name (a configurator panel's is the caption on its tab); empty at construction.
  void SetName(const Vcon::WString& name) { name_ = name; }
  const Vcon::WString& ViewName() const { return name_; }

  // The view that last took the mouse in MouseOver, and the window's tracked view; null when none.
  static ppView* HoveredView();
  static ppView* TrackedView();
  static void SetTrackedView(ppView* view, const plat::RECT& rect);
  static const plat::RECT& TrackedRect();
  // Ends the hover: the hovered view, if any, is told MouseLeave.
  static void EndHover();
  // Forgets the last click point (tests start from a known state).
  static void ResetClickPoint();

 protected:
  void SetShownFlag(bool shown) { shown_ = shown; }

 private:
  friend class ppAdorner;
  void Init(ppView* supervisor, int8_t horizontal, int8_t vertical);
  struct SubviewCover;
  // What the subviews cover, for leaving out of what is drawn before them; see Draw.
  SubviewCover CoverOfSubviews(const ppDC& dc);

  plat::RECT frame_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  ppView* supervisor_ = nullptr;  // not owned
  ppViewList subviews_;           // owned
  int8_t vertical_ = kStretch;
  int8_t horizontal_ = kStretch;
  bool redrawOnChange_ = true;
  bool shown_ = true;
  ppAdorner* adorners_ = nullptr;  // owned chain
  int32_t commandId_ = 0;
  Vcon::WString name_;
};
