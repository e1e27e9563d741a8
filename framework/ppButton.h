#pragma once
// A view drawn entirely from pictures, one bitmap per state (picture id + state, asked of the
// application), that reacts to a press at once, tracks it until the release is queued and tells its
// owner with command 5000 (parameter: the button). Palette, slider and view-point buttons, the
// configurator's button field and the text button derive from it. User-interface thread only.

#include <cstdint>
#include <memory>

#include "framework/ppView.h"

class ppButton : public ppView {
 public:
  static constexpr int32_t kPressedCommand = 5000;

  // States; the picture of a state is the picture id + the state.
  static constexpr int32_t kNormal = 0;
  static constexpr int32_t kHighlighted = 1;  // mouse over, or a toggle that is on
  static constexpr int32_t kPressed = 2;      // only while a press is tracked
  static constexpr int32_t kDisabled = 3;

  // Kinds.
  static constexpr int32_t kPush = 0;
  static constexpr int32_t kToggle = 1;
  static constexpr int32_t kPushKeepingState = 2;  // returns to the state it had before the press

  // Without a frame (null) the frame is the size of the state-0 picture when there is one, else
  // (0, 0, 5, 5).
  ppButton(ppView* supervisor, const plat::RECT* frame, int32_t pictureId, int8_t horizontal, int8_t vertical,
           int32_t kind);
  ~ppButton() override;

  void SetState(int32_t state);  // invalidates when the state changes
  int32_t GetState() const { return state_; }
  int32_t GetKind() const { return kind_; }
  int32_t GetPictureId() const { return pictureId_; }
  int32_t GetInitialPictureId() const { return initialPictureId_; }

  virtual void SetDefaultCursor();
  virtual void Unhighlight();  // 1 -> 0
  virtual void Highlight();    // 0 -> 1

  void DrawContent(ppDC& dc) override;
  // The press: answers true (the press is always taken).
  bool IsDoubleClick(int32_t x, int32_t y) override;

 protected:
  void SetInitialPictureId(int32_t id) { initialPictureId_ = id; }

 private:
  void DrawNow();
  void PressPush();
  void PressToggle();
  void PressKeepingState();
  // Sends the command up the view chain; answers whether this button still exists afterwards.
  bool SendPressed();

  int32_t state_ = kNormal;
  int32_t pictureId_ = 0;
  int32_t initialPictureId_ = 0;
  int32_t kind_ = kPush;
  // Cleared by the destructor, so a press knows when its command deleted the button.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Waits until a mouse-button message (normally the release) is queued; the message stays queued.
void WaitForMouseButton();
