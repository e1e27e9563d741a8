#pragma once
// A view that owns a platform window: where the window's messages enter the program. The three
// window procedures bind each window the framework makes to its object through the window property
// "obj"; HandleMessage turns messages into view operations, hands the mouse to the running mouse
// task, notifies the alerters, runs sweepers and paints the view tree through a drawing context.
// Window coordinates are the window's client pixels. User-interface thread only.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "framework/ppView.h"
#include "platform/CommonDialogs.h"
#include "platform/DragDrop.h"
#include "platform/WindowTypes.h"

class ppAlerter;
class ppMouseTask;
class ppRegion;

class ppWindow : public ppView, public plat::IDropTarget {
 public:
  static constexpr const char* kObjectProperty = "obj";

  // An object without a window yet: the window made next by the framework binds to it at WM_CREATE.
  ppWindow();
  // Around an existing window.
  explicit ppWindow(plat::HWND window);
  // Creates its own document window inside the application's multiple-document client.
  ppWindow(plat::DWORD style, const plat::RECT* rect, uint8_t flag);
  ~ppWindow() override;

  // ---- View and event operations the window answers itself.
  void TrackHover() override;
  void Paint() override;
  void Activate() override;
  void Deactivate() override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  void MouseMove(int32_t x, int32_t y) override;
  plat::HWND GetHWND() override { return window_; }
  intptr_t AskSupervisor() override { return 0; }
  void LocalToWindow(plat::POINT*) override {}
  void LocalToWindowRect(plat::RECT*) override {}
  void WindowToLocal(plat::POINT*) override {}
  void WindowToLocalRect(plat::RECT*) override {}
  void GetWindowOrigin(plat::POINT* origin) override { *origin = {0, 0}; }
  void IntersectVisibleRect(plat::RECT*) override {}
  void InvalidateRegion(ppRegion* region) override;
  void Show() override;
  void Hide() override;
  void GetMousePosition(plat::POINT* point) override;

  // Turns one message into calls on this object; non-zero when handled.
  virtual int32_t HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
  virtual void SizeChanged(int32_t width, int32_t height);
  virtual void LeftButtonDown();
  virtual void SetTitle(const std::u16string& title);
  virtual bool Quit() { return true; }
  virtual bool CanClose() { return true; }
  virtual void CopyOffscreenTo(plat::HDC dc);

  // The task that holds the mouse from now on (null releases the capture).
  void CaptureMouse(ppMouseTask* task);
  // Also read by the autosave thread, hence atomic.
  ppMouseTask* MouseTask() const { return mouseTask_.load(); }
  // Ends the mouse task under way without a commit (WM_CANCELMODE: the desktop's close request).
  void CancelMouseTask();

  // Alerters are told of keys and left-button presses before the window handles them.
  void AddAlerter(ppAlerter* alerter);
  void RemoveAlerter(ppAlerter* alerter);

  bool IsActive() const { return active_; }
  bool IsWindowShown() const { return shownFlag_; }
  const plat::RECT& BoundsRect() const { return bounds_; }
  int32_t CuedInvalidationCount() const { return static_cast<int32_t>(cued_.size()); }
  // Invalidates every region cued while a mouse task ran, once more, and forgets them.
  void ApplyCuedInvalidations();
  // Runs the page set-up dialog on this window's record; the printer settings it chooses are shared
  // by every window's page set-up.
  bool PageSetup();
  const plat::PAGESETUPDLGA& PageSetupRecord() const { return pageSetup_; }
  // The paper (a PaperSizes code) every page set-up and print of the run shares. Until a page set-up
  // or a print has set it there is none, and the kept print settings' paper may be adopted.
  static bool HasSharedPaper();
  static int16_t SharedPaper();
  static void AdoptKeptPaper(int16_t paper);  // does nothing once there is a shared paper

  // ---- Text dropped on the window (screen points; the view under the point decides).
  plat::HRESULT QueryInterface(const plat::IID& iid, void** object) override;
  uint32_t AddRef() override { return ++references_; }
  // The object is never deleted through Release: its owner deletes it.
  uint32_t Release() override { return references_ > 0 ? --references_ : 0; }
  plat::HRESULT DragEnter(plat::IDataObject* data, plat::DWORD keyState, plat::POINTL point,
                          plat::DWORD* effect) override;
  plat::HRESULT DragOver(plat::DWORD keyState, plat::POINTL point, plat::DWORD* effect) override;
  plat::HRESULT DragLeave() override;
  plat::HRESULT Drop(plat::IDataObject* data, plat::DWORD keyState, plat::POINTL point,
                     plat::DWORD* effect) override;

  // When set, the destructor hides and destroys the platform window.
  void SetOwnsWindow(bool owns) { ownsWindow_ = owns; }

  // The window procedures of the framework's three window classes: the frame, the document window
  // inside the multiple-document client, and child windows.
  static plat::LRESULT FrameProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                 plat::LPARAM lParam);
  static plat::LRESULT DocumentProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                    plat::LPARAM lParam);
  static plat::LRESULT ChildProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                 plat::LPARAM lParam);

  // The object that the window made next binds to at WM_CREATE.
  static void SetObjectUnderConstruction(ppWindow* window);
  // The application's own window object: its window is the multiple-document client, and it is the
  // key target that an activated window becomes. Set by the application object.
  static void SetApplicationWindow(ppWindow* application);
  static ppWindow* ApplicationWindow();
  // While set, the frame stays in front and cannot be moved, sized, minimised or closed by the user.
  static void SetFrameLocked(bool locked);
  static bool FrameLocked();
  // The minimum size WM_SIZING keeps a window at (pixels).
  static constexpr int32_t kMinimumWidth = 800;
  static constexpr int32_t kMinimumHeight = 600;

 protected:
  plat::HWND window_ = nullptr;
  plat::HDC memoryDC_ = nullptr;
  plat::HBITMAP memoryBitmap_ = nullptr;
  int32_t memoryWidth_ = 0;
  int32_t memoryHeight_ = 0;

 private:
  void InitFields();
  void Bind(plat::HWND window);
  void HandleSizing(plat::WPARAM edge, plat::RECT* rect);
  void HandleKeyDown(plat::WPARAM wParam, plat::LPARAM lParam);
  void HandleButton(plat::UINT message, plat::LPARAM lParam, plat::WPARAM wParam);
  void HandleContextMenu(plat::LPARAM lParam);
  void NotifyAlerters(plat::UINT message);
  void TaskLetGo();
  static ppWindow* ObjectOf(plat::HWND window);
  plat::POINT DropPointToLocal(plat::POINTL point) const;
  void AskAboutDrop(plat::POINTL point, plat::DWORD* effect);
  // The text of a drag, read as CF_TEXT from the data object; empty when it gives none.
  struct DragText {
    std::string text;
    bool received = false;
  };
  static std::unique_ptr<DragText> ReadDragText(plat::IDataObject* data);
  static ppWindow* BindOnCreate(plat::HWND window, plat::UINT message);

  plat::PAGESETUPDLGA pageSetup_{};
  plat::RECT bounds_{};
  bool active_ = false;
  bool shownFlag_ = false;
  std::atomic<ppMouseTask*> mouseTask_{nullptr};  // not owned; written by the interface thread only
  plat::HWND previousCapture_ = nullptr;
  std::vector<ppAlerter*> alerters_;  // not owned
  std::vector<std::unique_ptr<ppRegion>> cued_;
  bool ownsWindow_ = false;
  uint32_t references_ = 0;
  std::unique_ptr<DragText> dragText_;  // only between DragEnter and DragLeave or Drop
};
