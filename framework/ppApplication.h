#pragma once
// The one application object of the process: a window object whose own window is the
// multiple-document client inside the top-level frame. It registers the framework's window classes,
// makes the frame with its client, accelerators and menu, runs the message loop, applies the close
// and quit rules under the frame lock, and serves views application-wide: pictures, colours, the
// standard cursors and the menu state object.
//
// Ownership: the program entry owns the application. The application owns the frame window (and the
// menu it loaded for it), the accelerator table, the menu state object, the process-wide cursor table
// and every picture it hands out; askers never delete those pictures. User-interface thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "foundation/ppFloat4.h"
#include "framework/ColorConversion.h"
#include "framework/ppWindow.h"
#include "platform/Accelerator.h"
#include "platform/WindowTypes.h"

class ppMenuHelper;
class ppPicture;

class ppApplication;

// The one application object; set by the program entry (user-interface thread), not owned here.
extern ppApplication* gApplication;

class ppApplication : public ppWindow {
 public:
  static constexpr const char* kFrameClass = "Zelvo Pro";
  static constexpr const char* kDocumentClass = "ppWin";
  static constexpr const char* kChildClass = "ZelvCtrl";
  static constexpr const char* kAcceleratorName = "AppXAccelerators";
  static constexpr int32_t kIgnoredCommand = 1;
  static constexpr int32_t kNewDocumentCommand = 11;
  static constexpr int32_t kQuitCommand = 20;
  static constexpr int32_t kClosingCommand = 304;  // sent to the frame just before it closes
  static constexpr int32_t kStandardCursorCount = 7;

  // Without windows yet. A non-null `previous` instance makes Startup skip the classes and the frame.
  ppApplication(plat::HINSTANCE instance, plat::HINSTANCE previous);
  ~ppApplication() override;

  plat::HINSTANCE GetInstance() const { return instance_; }
  plat::HWND Frame() const { return frame_; }
  plat::HMENU FrameMenu() const { return frameMenu_; }
  plat::HACCEL Accelerators() const { return accelerators_; }
  ppMenuHelper* MenuHelper() const { return menuHelper_.get(); }
  // The cursor table index LoadCursors kept in standard slot `slot` (0..6); 0 outside.
  static int32_t StandardCursor(int32_t slot);

  // ---- Event and view operations.
  bool MouseOver(int32_t x, int32_t y, int32_t flag) override;
  void AdjustCursor(int32_t x, int32_t y) override;
  void UpdateTargetMenus() override { ppEventHandler::UpdateTargetMenus(); }
  void KeyDown(signed char key, int32_t flags) override { ppEventHandler::KeyDown(key, flags); }
  void TrackHover() override {}
  void Hook8() override {}
  void Paint() override {}
  void Activate() override {}
  void Deactivate() override {}
  void Hook12(uint32_t word) override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  // The message loop: answers the code of the final WM_QUIT.
  int32_t Run() override;
  void Show() override;
  int32_t HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  void SizeChanged(int32_t, int32_t) override {}
  void SetTitle(const std::u16string& title) override;
  bool Quit() override;

  // ---- The application's own operations.
  virtual void ShowFrame();
  virtual void CreateFrame();
  virtual void CreateMenuHelper();
  virtual void Startup();
  virtual void LoadCursors();
  virtual bool CanStart() { return true; }
  // Pictures of bitmap resources, kept by the application; a missing resource gives an empty one.
  virtual ppPicture* GetPictureAt(int32_t base, int32_t offset);
  virtual ppPicture* GetFramePicture(int32_t id);
  // Bytes 0..255 per channel; the base answers white.
  virtual ppRGBColor GetColor(int32_t id);
  // Red, green, blue, alpha from 0 to 1; the base answers what SetColorF kept, else opaque white.
  virtual ppFloat4 GetColorF(int32_t id);
  // Keeps `color` for `id` for the rest of the run, so that GetColorF answers it (a settings colour
  // the 3D panes change, such as the plan picture's background). An application with a colour
  // store of its own overrides both.
  virtual void SetColorF(int32_t id, const ppFloat4& color);
  virtual ppPicture* GetFillPicture(int32_t id);

 protected:
  // The frame, document and child window classes of the framework.
  void RegisterWindowClasses();

 private:
  ppPicture* KeptPicture(int32_t id);

  plat::HACCEL accelerators_ = nullptr;  // owned
  plat::HINSTANCE instance_ = nullptr;
  plat::HINSTANCE previous_ = nullptr;
  plat::HWND frame_ = nullptr;  // owned
  plat::HMENU frameMenu_ = nullptr;
  bool ownsFrameMenu_ = false;
  bool hasClient_ = false;  // set once the client window is this object's window
  std::unique_ptr<ppMenuHelper> menuHelper_;
  std::map<int32_t, std::unique_ptr<ppPicture>> pictures_;
  std::map<int32_t, ppFloat4> keptColors_;  // what SetColorF kept, by id
};

// Runs Startup and then the message loop; anything thrown out of either is shown in a message box
// captioned with the frame class name, and then the call returns.
void RunApplication(ppApplication* application);
