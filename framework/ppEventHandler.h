#pragma once
// The root of everything that receives user input: views, panes, windows, the application and the
// view dialogs. It fixes the input operations with their defaults and links handlers into a key-target
// chain: keys, menu updates and unhandled commands pass on to the key target. Commands travel as plain
// DoCommand(id, parameter) calls; each class handles the ids it knows and passes the rest on.

#include <cstdint>

#include "platform/WindowTypes.h"

class ppEventHandler {
 public:
  ppEventHandler();
  virtual ~ppEventHandler();
  ppEventHandler(const ppEventHandler&) = delete;
  ppEventHandler& operator=(const ppEventHandler&) = delete;

  // The operations, in the order every derived class of the framework relies on.
  virtual bool MouseOver(int32_t x, int32_t y, int32_t flag);  // asks AdjustCursor; false
  virtual void AdjustCursor(int32_t x, int32_t y);
  virtual void TrackHover();
  virtual void Hook4(uint32_t word);
  virtual void UpdateTargetMenus();                      // passes on to the key target
  virtual void UpdateMenus();                            // a menu is about to open
  virtual void KeyDown(signed char key, int32_t flags);  // passes on to the key target
  virtual void Hook8();
  virtual void Paint();
  virtual void Activate();
  virtual void Deactivate();
  virtual void Hook12(uint32_t word);
  virtual void DoCommand(int32_t command, intptr_t parameter);  // passes on to the key target
  virtual void MouseMove(int32_t x, int32_t y);
  virtual void Hook15();
  virtual void Hook16();
  virtual void ContextMenu(int32_t x, int32_t y);
  virtual uint32_t GetTypeCode();  // '????' unless a class names itself
  // A nested message loop; answers the code WM_QUIT carried. Each level ends at one WM_QUIT.
  virtual int32_t Run();
  // Whether a message the loop took should be translated and dispatched.
  virtual bool PreTranslate(plat::MSG* msg);
  // Changes the key target: the old one may refuse to resign, the new one may refuse to become it.
  virtual void SetTarget(ppEventHandler* target);
  virtual bool ResignTarget();
  virtual bool BecomeTarget();

  ppEventHandler* GetTarget() const { return target_; }
  static bool IsControlKeyDown();
  static bool IsAltKeyDown();
  static bool IsShiftKeyDown();

  // The last left-button press in window coordinates and its MK_ flags; the window writes them
  // before it calls its press handling.
  int32_t pressX = 0;
  int32_t pressY = 0;
  uint32_t pressFlags = 0;

 private:
  uint32_t spareWord_ = 0;
  uint16_t spareHalf_ = 0;
  ppEventHandler* target_ = nullptr;  // not owned
};
