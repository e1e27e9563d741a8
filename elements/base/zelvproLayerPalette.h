// The layer palette's services below the document window: the plan scale, the running number that
// new elements take as their saveId (and calculation lines as their id), and the entry through which
// the price list passes its view commands to the view bar. The document window's view bar is the
// palette of the run; without it these stay neutral. User-interface thread only.
#pragma once

#include <climits>
#include <cstdint>

class zelvproLayerPalette {
 public:
  static constexpr double kStartScale = 15.0;

  virtual ~zelvproLayerPalette() = default;
  // Millimetres per top-view pixel.
  virtual double GetScale() { return scale_; }
  void SetScale(double scale) { scale_ = scale; }
  // The current running number (1 at start); the counter then moves on by one and never goes back.
  virtual int32_t NextId() { return next_++; }
  // A view or zoom menu command (3001-3011) handed on by a pane that does not know the view bar; the
  // neutral palette ignores it.
  virtual void PassViewCommand(int32_t /*command*/, intptr_t /*parameter*/) {}

 private:
  double scale_ = kStartScale;
  int32_t next_ = 1;
};
