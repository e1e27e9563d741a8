#pragma once
// Something drawn around a view's content: a fill before it, a frame or an outline after it. An
// adorner puts itself at the head of its view's chain when made; the view deletes its adorners.
// Frames are in window coordinates.

#include <cstdint>
#include <memory>

#include "platform/GdiTypes.h"

class ppDC;
class ppRegion;
class ppView;

class ppAdorner {
 public:
  static constexpr char kBefore = 0;  // drawn before the content
  static constexpr char kAfter = 1;   // drawn after the content and the subviews

  ppAdorner(ppView* view, char phase);
  virtual ~ppAdorner() = default;
  ppAdorner(const ppAdorner&) = delete;
  ppAdorner& operator=(const ppAdorner&) = delete;

  virtual void Draw(const plat::RECT* frame, char pass, ppDC* dc) = 0;
  virtual std::unique_ptr<ppRegion> GetRegion(const plat::RECT* frame);  // window coordinates
  virtual void Invalidate(const plat::RECT* frame);
  // The part of the area (window coordinates) that drawing on `dc` sets to one colour whatever lay
  // under it, so that views painted before it may leave it out; null when pixels may show through.
  virtual std::unique_ptr<ppRegion> GetOpaqueRegion(const plat::RECT* frame, const ppDC& dc);

  // Draws this adorner (when its phase is `pass`) and the rest of the chain, each clipped to its own
  // region unless it is unclipped; the context's clip is restored afterwards.
  void DrawChain(const plat::RECT* frame, char pass, ppDC* dc);

  ppView* View() const { return view_; }
  char Phase() const { return phase_; }
  ppAdorner* Next() const { return next_; }
  void SetUnclipped(bool unclipped) { unclipped_ = unclipped; }
  bool IsUnclipped() const { return unclipped_; }

 private:
  friend class ppView;
  ppView* view_;
  char phase_;
  ppAdorner* next_;
  bool unclipped_ = false;
};
