#pragma once
// Something that a window tells of every key press and release and every left-button press and
// release before it handles them itself. An alerter joins its window's list when made and leaves it
// when destroyed.

class ppWindow;

class ppAlerter {
 public:
  explicit ppAlerter(ppWindow* window);
  virtual ~ppAlerter();
  ppAlerter(const ppAlerter&) = delete;
  ppAlerter& operator=(const ppAlerter&) = delete;

  virtual void KeyDown() {}
  virtual void KeyUp() {}
  virtual void MouseDown() {}
  virtual void MouseUp() {}

  ppWindow* Window() const { return window_; }
  // The window is being destroyed: the alerter stays, told of nothing more, and leaves no list.
  void Forget() { window_ = nullptr; }

 private:
  ppWindow* window_;
};
